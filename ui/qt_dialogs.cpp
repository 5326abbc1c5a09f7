#include "ui/qt_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>

#include "ui/preview_loader.h"

namespace {

TPreviewDecoder& PreviewDecoder() {
    static TPreviewDecoder decoder;
    return decoder;
}

void ShowBox(QMessageBox::Icon icon, const std::string& title, const std::string& text) {
    QMessageBox box(icon, QString::fromStdString(title), QString::fromStdString(text), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

// A pane beside the file list that shows the selected picture, decoded by the
// program's own readers; at first the file the dialog starts with.
void AddPreviewPane(QFileDialog& dialog, const std::string& initialFile) {
    auto* layout = qobject_cast<QGridLayout*>(dialog.layout());
    if (layout == nullptr || !PreviewDecoder()) return;
    auto* preview = new QLabel(&dialog);
    preview->setObjectName("preview");
    preview->setFixedSize(200, 200);
    preview->setAlignment(Qt::AlignCenter);
    preview->setFrameShape(QFrame::StyledPanel);
    layout->addWidget(preview, 0, layout->columnCount(), layout->rowCount(), 1);
    auto* loader = new TPreviewLoader(*preview, PreviewDecoder());
    loader->setObjectName("previewLoader");
    QObject::connect(&dialog, &QFileDialog::currentChanged, loader,
                     [loader](const QString& path) { loader->Request(path); });
    loader->Request(QString::fromStdString(initialFile));
}

}  // namespace

void TQtDialogs::SetPreviewDecoder(TPreviewDecoder decoder) { PreviewDecoder() = std::move(decoder); }

std::optional<std::string> TQtDialogs::OpenFile(const std::string& initialFile, const std::string& initialFolder) {
    // No filter and no title of our own; neither the file nor its folder has
    // to exist, so a typed name is handed on as it is.
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setSizeGripEnabled(true);
    if (!initialFile.empty())
        dialog.selectFile(QString::fromStdString(initialFile));
    else if (!initialFolder.empty())
        dialog.setDirectory(QString::fromStdString(initialFolder));
    AddPreviewPane(dialog, initialFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first().toStdString();
}

void TQtDialogs::ShowMessage(const std::string& title, const std::string& text) {
    ShowBox(QMessageBox::NoIcon, title, text);
}

void TQtDialogs::ShowError(const std::string& title, const std::string& text) {
    ShowBox(QMessageBox::Critical, title, text);
}
