#pragma once
// The open dialog's preview pane: the file decoded by the picture class its
// extension selects, exactly as the load button would decode it.

#include <string>

#include <QImage>

// A null image for what is no regular file or too large to preview quickly;
// an unsupported or damaged picture is an exception (the dialog shows an
// empty pane for it).
QImage DecodePreview(const std::string& fileName);
