#include "ui/preview_loader.h"

#include <atomic>
#include <mutex>

#include <QPixmap>
#include <QThreadPool>

namespace {

// Both cores: a superseded decode that is still running does not hold up
// the next one. Lives until the program ends, so a decode may outlast the
// dialog that asked for it; the pool waits for it at exit.
QThreadPool& PreviewThreads() {
    static QThreadPool pool;
    static const bool configured = [] {
        pool.setMaxThreadCount(2);
        return true;
    }();
    (void)configured;
    return pool;
}

}  // namespace

// What a worker shares with the loader: the latest request and where to
// deliver. The loader withdraws itself under the lock before it is destroyed,
// so a worker never posts to a destroyed loader.
struct TPreviewLoader::TMailbox {
    std::atomic<unsigned> Latest{0};
    std::mutex Lock;
    TPreviewLoader* Loader = nullptr;
};

TPreviewLoader::TPreviewLoader(QLabel& pane, TPreviewDecoder decoder)
    : QObject(&pane), FPane(pane), FDecoder(std::move(decoder)), FMailbox(std::make_shared<TMailbox>()) {
    FMailbox->Loader = this;
}

TPreviewLoader::~TPreviewLoader() {
    std::lock_guard guard(FMailbox->Lock);
    FMailbox->Loader = nullptr;
}

void TPreviewLoader::Request(const QString& fileName) {
    // The dialog selects the file it starts with again once it has listed
    // its folder: the preview under way for it stays wanted.
    if (FLatest != 0 && fileName == FRequested) return;
    FRequested = fileName;
    const unsigned request = ++FLatest;
    FMailbox->Latest.store(request);
    FPane.clear();
    FShownFile.clear();
    // Superseded requests that no thread has taken up yet are dropped.
    PreviewThreads().clear();
    if (fileName.isEmpty() || !FDecoder) return;
    PreviewThreads().start([mailbox = FMailbox, decoder = FDecoder, request, fileName, bounds = FPane.size()] {
        if (mailbox->Latest.load() != request) return;
        QImage image;
        try {
            image = decoder(fileName.toStdString(), bounds);
        } catch (...) {
            image = QImage();  // not a picture we read: an empty pane
        }
        if (mailbox->Latest.load() != request) return;
        std::lock_guard guard(mailbox->Lock);
        TPreviewLoader* loader = mailbox->Loader;
        if (loader == nullptr) return;
        // Queued to the loader's thread; dropped by Qt if the loader is
        // destroyed before it runs.
        QMetaObject::invokeMethod(
            loader, [loader, request, fileName, image] { loader->Deliver(request, fileName, image); },
            Qt::QueuedConnection);
    });
}

void TPreviewLoader::Deliver(unsigned request, const QString& fileName, const QImage& image) {
    if (request != FLatest || image.isNull()) return;
    QImage shown = image;
    if (image.width() > FPane.width() || image.height() > FPane.height())
        shown = image.scaled(FPane.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    FPane.setPixmap(QPixmap::fromImage(shown));
    FShownFile = fileName;
}
