#include "app/dropped_file.h"

#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

std::optional<std::string> SingleLocalFile(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls()) return std::nullopt;
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile()) return std::nullopt;
    const QString path = urls.front().toLocalFile();
    if (path.isEmpty() || QFileInfo(path).isDir()) return std::nullopt;
    return path.toStdString();
}
