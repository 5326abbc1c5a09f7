#include "pictures/gif/lzw_decoder.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "pictures/gif/gif_errors.h"

namespace gif {

namespace {

// Codes 0 to 4095 can receive table entries. With a minimum code size of 12
// codes are 13 bits wide, so the table is indexed up to 8191; sizing it for
// every 13-bit code keeps any code a stream can hold inside it.
constexpr uint32_t TableLimit = 4096;
constexpr uint32_t CodeSpace = 8192;
// The longest string a well-formed table holds is under 4096 values.
constexpr int StackSize = 8192;

// The code table of one stream: it grows from the first free code, widens
// the codes as it fills, and starts again at a clear code.
class TLzwDictionary {
public:
    explicit TLzwDictionary(int minimumCodeSize)
        : FMinimumCodeSize(minimumCodeSize), FClearCode(1u << minimumCodeSize) {
        Clear();
    }

    uint32_t ClearCode() const { return FClearCode; }
    uint32_t EndCode() const { return FClearCode + 1; }
    int CodeSize() const { return FCodeSize; }

    void Clear() {
        FNextFree = FirstFree();
        FCodeSize = FMinimumCodeSize + 1;
        FLimit = 1u << FCodeSize;
    }

    // Spells `code` onto the stack, last value first, and returns its length.
    // A code not yet in the table spells the previous string and its first
    // value. firstValue receives the string's first value.
    int Spell(uint32_t code, uint32_t previous, uint8_t& firstValue) {
        int top = 0;
        if (code >= FNextFree) {
            FStack[top++] = firstValue;
            code = previous;
        }
        while (code >= FirstFree()) {
            if (top >= StackSize - 1) throw GIFException(InvalidData);
            FStack[top++] = FSuffix[code];
            const uint32_t next = FPrefix[code];
            if (next == code) throw GIFException(CircularEntry);
            code = next;
        }
        firstValue = static_cast<uint8_t>(code);
        FStack[top++] = firstValue;
        return top;
    }
    const uint8_t* Stack() const { return FStack; }

    // The previous string followed by `value`, while the table has room.
    void Add(uint32_t previous, uint8_t value) {
        if (FNextFree >= TableLimit) return;
        FPrefix[FNextFree] = static_cast<uint16_t>(previous);
        FSuffix[FNextFree] = value;
        ++FNextFree;
        if (FNextFree >= FLimit && FLimit < TableLimit) {
            FLimit <<= 1;
            ++FCodeSize;
        }
    }

private:
    uint32_t FirstFree() const { return FClearCode + 2; }

    const int FMinimumCodeSize;
    const uint32_t FClearCode;
    uint32_t FNextFree = 0;
    int FCodeSize = 0;
    uint32_t FLimit = 0;
    uint16_t FPrefix[CodeSpace] = {};
    uint8_t FSuffix[CodeSpace] = {};
    uint8_t FStack[StackSize] = {};
};

// Least-significant-bit-first codes from the input's runs of bytes.
class TCodeReader {
public:
    explicit TCodeReader(TLzwInput& input) : FInput(input) {}

    // False when the input ends before a whole code.
    bool Read(int size, uint32_t& code) {
        while (FBitCount < size) {
            if (FNext == FEnd && !Refill()) return false;
            FBits |= static_cast<uint32_t>(*FNext++) << FBitCount;
            FBitCount += 8;
        }
        code = FBits & ((1u << size) - 1);
        FBits >>= size;
        FBitCount -= size;
        return true;
    }

private:
    bool Refill() {
        if (FExhausted) return false;
        std::span<const uint8_t> bytes = FInput.NextBytes();
        if (bytes.empty()) {
            FExhausted = true;
            return false;
        }
        FNext = bytes.data();
        FEnd = FNext + bytes.size();
        return true;
    }

    TLzwInput& FInput;
    const uint8_t* FNext = nullptr;
    const uint8_t* FEnd = nullptr;
    uint32_t FBits = 0;  // at most 12 + 8 bits are held
    int FBitCount = 0;
    bool FExhausted = false;
};

// Stores values in row order or in the interlaced passes. Without a pixel
// block every row goes to one scratch row: the values are counted, not kept.
class TPixelWriter {
public:
    explicit TPixelWriter(const TLzwTarget& target)
        : FTarget(target), FRemaining(static_cast<uint64_t>(target.Width) * target.Height) {
        if (!target.Pixels) FScratch.resize(target.Width);
        FRow = target.Pixels ? target.Pixels : FScratch.data();
    }

    bool Full() const { return FRemaining == 0; }

    void Put(uint8_t value) {
        FRow[FX++] = value;
        --FRemaining;
        if (FX == FTarget.Width) NextRow();
    }

    // Stores values[count - 1] first: strings come off the stack reversed.
    void PutReversed(const uint8_t* values, int count) {
        while (count > 0 && FRemaining > 0) {
            uint64_t room = std::min<uint64_t>({FTarget.Width - FX, FRemaining, static_cast<uint64_t>(count)});
            uint8_t* out = FRow + FX;
            const uint8_t* in = values + count;
            for (uint64_t i = 0; i < room; ++i) out[i] = *--in;
            count -= static_cast<int>(room);
            FX += static_cast<uint32_t>(room);
            FRemaining -= room;
            if (FX == FTarget.Width) NextRow();
        }
    }

private:
    void NextRow() {
        static constexpr uint32_t PassStart[4] = {0, 4, 2, 1};
        static constexpr uint32_t PassStep[4] = {8, 8, 4, 2};
        FX = 0;
        if (!FTarget.Pixels) return;
        if (!FTarget.Interlaced) {
            FRow += FTarget.Width;
            return;
        }
        FY += PassStep[FPass];
        while (FY >= FTarget.Height && FPass < 3) FY = PassStart[++FPass];
        if (FY < FTarget.Height) FRow = FTarget.Pixels + static_cast<size_t>(FY) * FTarget.Width;
    }

    const TLzwTarget& FTarget;
    std::vector<uint8_t> FScratch;
    uint64_t FRemaining;
    uint8_t* FRow;
    uint32_t FX = 0;
    uint32_t FY = 0;
    int FPass = 0;
};

}  // namespace

TLzwStop DecodeLzw(int minimumCodeSize, TLzwInput& input, const TLzwTarget& target) {
    auto dictionary = std::make_unique<TLzwDictionary>(minimumCodeSize);
    TCodeReader codes(input);
    TPixelWriter pixels(target);
    bool afterClear = true;
    uint32_t previous = 0;
    uint8_t firstValue = 0;
    while (!pixels.Full()) {
        uint32_t code;
        if (!codes.Read(dictionary->CodeSize(), code)) return TLzwStop::OutOfData;
        if (code == dictionary->ClearCode()) {
            dictionary->Clear();
            afterClear = true;
        } else if (afterClear) {
            // No lookup and no check: whatever follows a clear code is a pixel.
            afterClear = false;
            previous = code;
            firstValue = static_cast<uint8_t>(code);
            pixels.Put(firstValue);
        } else if (code == dictionary->EndCode()) {
            return TLzwStop::EndCode;
        } else {
            const int length = dictionary->Spell(code, previous, firstValue);
            dictionary->Add(previous, firstValue);
            previous = code;
            pixels.PutReversed(dictionary->Stack(), length);
        }
    }
    return TLzwStop::Complete;
}

}  // namespace gif
