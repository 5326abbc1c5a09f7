#pragma once
// The program's own readers of PNG, JPEG, GIF and BMP, plugged into the
// imaging layer behind TWICImage: a ".tif" file that holds one of those
// formats is decoded by the data, as the platform component would.

namespace imaging {
class ImagingFactory;
}

// Registers the four readers with `factory`.
void RegisterOurReaders(imaging::ImagingFactory& factory);

// Registers them with the shared factory, once per process.
void RegisterOurReadersOnce();
