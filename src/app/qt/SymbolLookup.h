#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "sources/SymbolSearch.h"

class QCompleter;
class QLineEdit;
class QStandardItemModel;

namespace quillory {

// Candidates for what is typed into a symbol field: after a pause in typing, the text (two
// characters or more) is looked up off the GUI thread and the answers are offered in a popup
// under the field (symbol, name, exchange, type). Answers for an older text are dropped.
class SymbolLookup : public QObject {
    Q_OBJECT
public:
    // Runs on a worker thread; the same shape as SymbolSearch::Find.
    using Find = std::function<bool(const std::string&, std::vector<SymbolSearch::Candidate>&, std::string&)>;
    // Runs `work` off the GUI thread and `done` back on it, unless the receiver is gone by then.
    using Runner = std::function<void(QObject* receiver, std::function<std::vector<SymbolSearch::Candidate>()> work,
                                      std::function<void(std::vector<SymbolSearch::Candidate>)> done)>;

    static constexpr int kDelayMs = 300;
    static constexpr int kMinChars = 2;

    SymbolLookup(QLineEdit* edit, Find find = SymbolSearch::Find, Runner runner = nullptr);
    ~SymbolLookup() override = default;

    // For the program's tests.
    QCompleter* Completer() const { return completer; }
    int Requests() const { return requests; }

signals:
    void picked(const quillory::SymbolSearch::Candidate& candidate);

private:
    void OnEdited();
    void Start();
    void Show(const std::string& text, std::vector<SymbolSearch::Candidate> found);

    QLineEdit* edit;
    Find find;
    Runner runner;
    QTimer pause;
    QCompleter* completer;
    QStandardItemModel* model;
    std::vector<SymbolSearch::Candidate> shown;
    int requests = 0;
};

} // namespace quillory

Q_DECLARE_METATYPE(quillory::SymbolSearch::Candidate)
