#pragma once
// The failures of the PNG reader. Each is a class of its own, derived
// directly from Exception, so that a caller can tell them apart; each is
// raised with its one fixed message.

#include <string>

#include "base/exception.h"

TW_DECLARE_EXCEPTION(EPNGInvalidFileHeader, Exception);
TW_DECLARE_EXCEPTION(EPngUnexpectedEnd, Exception);
TW_DECLARE_EXCEPTION(EPNGIHDRNotFirst, Exception);
TW_DECLARE_EXCEPTION(EPNGUnknownCriticalChunk, Exception);
TW_DECLARE_EXCEPTION(EPNGNoImageData, Exception);
TW_DECLARE_EXCEPTION(EPngInvalidCRC, Exception);
TW_DECLARE_EXCEPTION(EPngInvalidIHDR, Exception);
TW_DECLARE_EXCEPTION(EPNGSizeExceeds, Exception);
TW_DECLARE_EXCEPTION(EPNGUnknownCompression, Exception);
TW_DECLARE_EXCEPTION(EPNGUnknownInterlace, Exception);
TW_DECLARE_EXCEPTION(EPNGUnknownColorType, Exception);
TW_DECLARE_EXCEPTION(EPNGInvalidBitDepth, Exception);
TW_DECLARE_EXCEPTION(EPNGInvalidPalette, Exception);
TW_DECLARE_EXCEPTION(EPNGMissingMultipleIDAT, Exception);
TW_DECLARE_EXCEPTION(EPNGZLIBError, Exception);
TW_DECLARE_EXCEPTION(EPNGOutMemory, Exception);
TW_DECLARE_EXCEPTION(EPngError, Exception);
TW_DECLARE_EXCEPTION(EPNGHeaderNotPresent, Exception);

namespace png_messages {

inline constexpr char InvalidFileHeader[] =
    "The file being read is not a valid \"Portable Network Graphics\" image because it contains an "
    "invalid header. This file may be corrupted, try obtaining it again";
inline constexpr char UnexpectedEnd[] =
    "This \"Portable Network Graphics\" image is invalid because the decoder found an unexpected end "
    "of the file.";
inline constexpr char IHDRNotFirst[] =
    "This \"Portable Network Graphics\" image is not supported or it might be invalid.\r\n"
    "(IHDR chunk is not the first)";
inline constexpr char UnknownCriticalChunk[] =
    "This \"Portable Network Graphics\" image contains an unknown critical part which could not be "
    "decoded.";
inline constexpr char NoImageData[] = "This \"Portable Network Graphics\" image contains no data.";
inline constexpr char InvalidCRC[] =
    "This \"Portable Network Graphics\" image is not valid because it contains invalid pieces of "
    "data (crc error)";
inline constexpr char InvalidIHDR[] =
    "The \"Portable Network Graphics\" image could not be loaded because one of its main piece of "
    "data (ihdr) might be corrupted";
inline constexpr char SizeExceeds[] =
    "This \"Portable Network Graphics\" image is not supported because either its width or height "
    "exceeds the maximum size of 65535 pixels.";
inline constexpr char UnknownCompression[] =
    "This \"Portable Network Graphics\" image is encoded with an unknown compression scheme which "
    "could not be decoded.";
inline constexpr char UnknownInterlace[] =
    "This \"Portable Network Graphics\" image uses an unknown interlace scheme which could not be "
    "decoded.";
inline constexpr char UnknownColorType[] =
    "This \"Portable Network Graphics\" image uses an unknown color type which could not be "
    "decoded.";
inline constexpr char InvalidBitDepth[] =
    "The \"Portable Network Graphics\" image could not be loaded because it uses an invalid image "
    "bit depth.";
inline constexpr char InvalidPalette[] = "The \"Portable Network Graphics\" image contains an invalid palette.";
inline constexpr char MissingMultipleIDAT[] =
    "This \"Portable Network Graphics\" image is invalid because it has missing image parts.";
inline constexpr char ZLIBErrorPrefix[] =
    "Could not decompress the image because it contains invalid compressed data.\r\n Description: ";
inline constexpr char OutMemory[] =
    "Some operation could not be performed because the system is out of resources. Close some "
    "windows and try again.";
inline constexpr char NoSuchPaletteEntry[] = "There is no such palette entry.";
inline constexpr char HeaderNotPresent[] =
    "This operation is not valid because the current image contains no valid header.";

}  // namespace png_messages

// EPNGZLIBError for a negative result of zlib, with zlib's result named.
[[noreturn]] void RaiseZlibError(int zlibResult);
