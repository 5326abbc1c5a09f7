#pragma once
// Makes the open dialog's previews away from the GUI thread, so that a large
// picture never holds up the dialog. Each request supersedes the ones before
// it: their results are dropped, those not yet started never start, and the
// pane shows nothing until the wanted preview is ready.

#include <functional>
#include <memory>
#include <string>

#include <QImage>
#include <QLabel>
#include <QObject>
#include <QSize>

// Decodes a file into an image that fits within `bounds` (a null image for
// what it cannot preview). Runs on a worker thread; exceptions mean "no
// preview".
using TPreviewDecoder = std::function<QImage(const std::string& fileName, QSize bounds)>;

class TPreviewLoader : public QObject {
public:
    // Shows the previews in `pane`, which must outlive the loader (make the
    // loader the pane's child).
    TPreviewLoader(QLabel& pane, TPreviewDecoder decoder);
    ~TPreviewLoader() override;

    // Empties the pane and starts making the preview of `fileName`; an empty
    // name only empties the pane. The file asked for last is not asked again.
    void Request(const QString& fileName);
    // The file whose preview the pane shows, "" when it shows none.
    const QString& ShownFile() const { return FShownFile; }

private:
    struct TMailbox;
    void Deliver(unsigned request, const QString& fileName, const QImage& image);

    QLabel& FPane;
    TPreviewDecoder FDecoder;
    std::shared_ptr<TMailbox> FMailbox;
    unsigned FLatest = 0;
    QString FRequested;
    QString FShownFile;
};
