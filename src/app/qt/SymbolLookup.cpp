#include "app/qt/SymbolLookup.h"

#include <QCompleter>
#include <QFutureWatcher>
#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QStandardItemModel>
#include <QTreeView>
#include <QtConcurrent/QtConcurrentRun>

namespace quillory {

namespace {

void RunOnPool(QObject* receiver, std::function<std::vector<SymbolSearch::Candidate>()> work,
               std::function<void(std::vector<SymbolSearch::Candidate>)> done) {
    auto* watcher = new QFutureWatcher<std::vector<SymbolSearch::Candidate>>(receiver);
    QObject::connect(watcher, &QFutureWatcherBase::finished, receiver, [watcher, done = std::move(done)] {
        watcher->deleteLater();
        done(watcher->result());
    });
    watcher->setFuture(QtConcurrent::run(std::move(work)));
}

} // namespace

SymbolLookup::SymbolLookup(QLineEdit* edit, Find find, Runner runner)
    : QObject(edit), edit(edit), find(std::move(find)), runner(runner ? std::move(runner) : Runner(RunOnPool)) {
    pause.setSingleShot(true);
    pause.setInterval(kDelayMs);
    connect(&pause, &QTimer::timeout, this, &SymbolLookup::Start);
    connect(edit, &QLineEdit::textEdited, this, &SymbolLookup::OnEdited);

    model = new QStandardItemModel(0, 4, this);
    completer = new QCompleter(model, this);
    completer->setWidget(edit);
    completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    auto* popup = new QTreeView;
    popup->setObjectName("lookup");
    popup->setRootIsDecorated(false);
    popup->setHeaderHidden(true);
    popup->setUniformRowHeights(true);
    popup->header()->setStretchLastSection(false);
    popup->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    completer->setPopup(popup);
    connect(completer, QOverload<const QModelIndex&>::of(&QCompleter::activated), this,
            [this](const QModelIndex& index) {
                const int row = index.row();
                if (row >= 0 && row < static_cast<int>(shown.size()))
                    emit picked(shown[static_cast<size_t>(row)]);
            });
}

void SymbolLookup::OnEdited() {
    if (edit->text().trimmed().size() < kMinChars) {
        pause.stop();
        completer->popup()->hide();
        return;
    }
    pause.start();
}

void SymbolLookup::Start() {
    const std::string text = edit->text().trimmed().toStdString();
    ++requests;
    Find lookup = find;
    runner(
        this,
        [lookup, text] {
            std::vector<SymbolSearch::Candidate> found;
            std::string reason;
            try {
                if (!lookup(text, found, reason))
                    found.clear();
            } catch (...) {
                found.clear();
            }
            return found;
        },
        [self = QPointer<SymbolLookup>(this), text](std::vector<SymbolSearch::Candidate> found) {
            if (self)
                self->Show(text, std::move(found));
        });
}

void SymbolLookup::Show(const std::string& text, std::vector<SymbolSearch::Candidate> found) {
    // Typing went on meanwhile: a newer lookup is on its way.
    if (edit->text().trimmed().toStdString() != text || !edit->isVisible())
        return;
    shown = std::move(found);
    model->removeRows(0, model->rowCount());
    for (const SymbolSearch::Candidate& c : shown) {
        QList<QStandardItem*> row;
        for (const std::string* cell : {&c.symbol, &c.name, &c.exchange, &c.type}) {
            auto* item = new QStandardItem(QString::fromStdString(*cell));
            item->setEditable(false);
            row.append(item);
        }
        model->appendRow(row);
    }
    if (shown.empty()) {
        completer->popup()->hide();
        return;
    }
    completer->setCompletionPrefix(QString());
    QRect rect = edit->rect();
    rect.setWidth(std::max(rect.width(), 420));
    completer->complete(rect);
}

} // namespace quillory
