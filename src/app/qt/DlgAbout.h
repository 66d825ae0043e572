#pragma once

#include <QDialog>

namespace quillory {

constexpr const char* kProductPage = "https://www.korvant.example/quillory/";
constexpr const char* kMakerProductsPage = "https://www.korvant.example/products/";

// Product name, version and the maker's web address, with a button that opens it.
class DlgAbout : public QDialog {
    Q_OBJECT
public:
    explicit DlgAbout(QWidget* parent = nullptr);
    ~DlgAbout() override = default;

    void OnWebSite();
};

} // namespace quillory
