#include "app/qt/DlgAbout.h"

#include <QDesktopServices>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace quillory {

DlgAbout::DlgAbout(QWidget* parent) : QDialog(parent) {
    setWindowTitle("About");
    auto* frame = new QGroupBox(this);
    auto* text = new QLabel(
        QString("Quillory 1.7\n\nStock quotes and price alerts\nin your notification area\n\n") + kProductPage, frame);
    text->setObjectName("aboutText");
    text->setAlignment(Qt::AlignCenter);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(text);

    auto* web = new QPushButton("Web Site", this);
    web->setObjectName("webSite");
    auto* ok = new QPushButton("OK", this);
    ok->setDefault(true);
    connect(web, &QPushButton::clicked, this, &DlgAbout::OnWebSite);
    connect(ok, &QPushButton::clicked, this, &DlgAbout::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(web);
    buttons->addStretch();
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons);
}

void DlgAbout::OnWebSite() {
    QDesktopServices::openUrl(QUrl(kProductPage));
}

} // namespace quillory
