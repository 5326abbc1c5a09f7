#pragma once
// The open dialog's preview pane: the file decoded by the picture class its
// extension selects, as the load button would decode it, but only as large as
// the pane needs. Called on a worker thread.

#include <string>

#include <QImage>
#include <QSize>

// A picture that fits within `bounds`, scaled smoothly. A null image for what
// is no regular file or too large to preview quickly; an unsupported or
// damaged picture is an exception (the dialog shows an empty pane for it).
QImage DecodePreview(const std::string& fileName, QSize bounds);

// The JPEG reader's reduction (0: none … 3: one eighth) that leaves a
// width × height picture at least as large as fitting it within `bounds`
// needs, so the reduced decode loses nothing the pane would show.
int PreviewJpegScaleShift(int width, int height, QSize bounds);
