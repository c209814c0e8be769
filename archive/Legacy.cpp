// The legacy zip decoders. Everything an entry needs (buffers, window, code tables, follower sets,
// decode trees) belongs to one decoder object and its method's table block, both owned by smart
// pointers, so they are freed however the entry ends. Input that the format cannot have (codes
// past the table, follower indexes past their set, trees that cannot be built) is refused with
// the reader's error codes before any table is indexed with it.
#include "archive/Legacy.h"

#include "archive/Masks.h"
#include "archive/Messages.h"

#include <algorithm>
#include <new>
#include <string>

namespace arc {

namespace {

constexpr int32_t kShrinkCodes = 8192; // codes 0..8191
constexpr int32_t kMaxShrinkCode = kShrinkCodes - 1;
constexpr int32_t kFirstFreeCode = 257; // 256 is the control code and never assigned
constexpr int32_t kFreeListSize = kShrinkCodes - kFirstFreeCode;
constexpr int kMaxShrinkBits = 13; // 8191 is the largest code
constexpr int32_t kStackSize = 8192;

constexpr int32_t kReduceWindow = 4096;
constexpr int kMaxFollowers = 32;

// Bits of a follower index for a set of Count (1..32) followers.
int FollowerBits(int Count) {
  int Bits = 1;
  while ((1 << Bits) < Count)
    ++Bits;
  return Bits;
}

} // namespace

TLegacyDecoder::TLegacyDecoder(TLegacyIo &Io, int64_t CompressedSize, int64_t UncompressedSize)
    : Io(Io), InputLeft(std::max<int64_t>(CompressedSize, 0)),
      Limit(std::max<int64_t>(UncompressedSize, 0)), Produced(0), Accepted(0),
      InBuf(new uint8_t[BufferSize]), OutBuf(new uint8_t[BufferSize]),
      Window(new uint8_t[MaxWindow]()) {}

void TLegacyDecoder::Fail(int32_t ECode) {
  if (Io.Raise)
    Io.Raise(ECode);
  else
    throw E_RAISE(std::to_string(ECode));
  // The owner let the code pass: the run is cancelled and this entry ends here.
  throw TStop{};
}

int TLegacyDecoder::ReadInputByte() {
  if (Io.CancelFlag != nullptr && *Io.CancelFlag) {
    InputLeft = 0;
    InputEnded = true;
    InPos = InCount;
    return -1;
  }
  if (InPos < InCount)
    return InBuf[InPos++];
  if (InputEnded || InputLeft <= 0 || !Io.Read) {
    InputLeft = 0;
    InputEnded = true;
    return -1;
  }
  const int32_t Want = static_cast<int32_t>(std::min<int64_t>(InputLeft, BufferSize));
  int32_t Got = Io.Read(InBuf.get(), Want);
  if (Got <= 0) {
    InputLeft = 0;
    InputEnded = true;
    InCount = InPos = 0;
    return -1;
  }
  Got = std::min(Got, Want); // a callback claiming more than it was asked for gets no more room
  InputLeft -= Got;
  InCount = Got;
  InPos = 1;
  return InBuf[0];
}

int32_t TLegacyDecoder::ReadBits(int Count) {
  while (BitCount < Count) {
    const int Byte = ReadInputByte();
    if (Byte < 0)
      return -1;
    BitBuf |= static_cast<uint32_t>(Byte) << BitCount;
    BitCount += 8;
  }
  const uint32_t Value = BitBuf & ((1u << Count) - 1);
  BitBuf >>= Count;
  BitCount -= Count;
  return static_cast<int32_t>(Value);
}

void TLegacyDecoder::WriteOutputByte(uint8_t Byte) {
  if (Produced >= Limit)
    return; // the entry's size is what the directory says, whatever the stream goes on with
  OutBuf[OutCount++] = Byte;
  ++Produced;
  if (OutCount == BufferSize)
    FlushOutput();
}

void TLegacyDecoder::WriteWindowByte(uint8_t Byte) {
  WriteOutputByte(Byte);
  Window[WindowPos] = Byte;
  WindowPos = (WindowPos + 1) & (WindowSize - 1);
}

void TLegacyDecoder::FlushOutput() {
  if (OutCount == 0)
    return;
  const int32_t Count = OutCount;
  OutCount = 0; // a failed write is not tried again by the flush on the way out
  const int32_t Done = Io.Write ? Io.Write(OutBuf.get(), Count) : 0;
  if (Done > 0)
    Accepted += std::min(Done, Count);
  if (Done < Count)
    Fail(ecWriteError);
}

void TLegacyDecoder::ClearWindow(int32_t Size) {
  std::fill(Window.get(), Window.get() + MaxWindow, uint8_t{0});
  WindowSize = Size;
  WindowPos = 0;
}

// --- shrink --------------------------------------------------------------------------------------

void TLegacyDecoder::Unshrink() {
  struct TTables {
    int32_t Parent[kShrinkCodes]; // -1: free
    uint8_t Value[kShrinkCodes];
    uint16_t Children[kShrinkCodes];
    uint16_t FreeList[kFreeListSize];
    uint16_t Collected[kFreeListSize]; // codes a partial clear frees
    uint8_t Stack[kStackSize];         // a string, last byte first
  };
  const auto T = std::make_unique<TTables>();
  for (int32_t Code = 0; Code < kShrinkCodes; ++Code) {
    T->Parent[Code] = -1;
    T->Value[Code] = static_cast<uint8_t>(Code < 256 ? Code : 0);
    T->Children[Code] = 0;
  }
  for (int32_t I = 0; I < kFreeListSize; ++I)
    T->FreeList[I] = static_cast<uint16_t>(kFirstFreeCode + I);
  int32_t NextFree = kFirstFreeCode;

  int CodeSize = 9;
  int32_t Code = ReadBits(CodeSize);
  if (Code < 0 || Code > 255)
    Fail(ecBadBlock); // the first code can only be a plain byte
  WriteOutputByte(static_cast<uint8_t>(Code));
  int32_t Previous = Code;
  uint8_t FirstByte = static_cast<uint8_t>(Code);

  while (!Full()) {
    Code = ReadBits(CodeSize);
    if (Code < 0)
      break;
    if (Code == 256) {
      const int32_t Sub = ReadBits(CodeSize);
      if (Sub < 0)
        break;
      if (Sub == 1) {
        // Codes never need more than 13 bits; a wider request would read past the table.
        if (CodeSize >= kMaxShrinkBits)
          Fail(ecBadBlock);
        ++CodeSize;
      } else if (Sub == 2) {
        // Partial clear: every code without children goes back on the free list, in an order
        // that hands the lowest out first.
        int32_t Count = 0;
        for (int32_t C = kFirstFreeCode; C < kShrinkCodes; ++C)
          if (T->Children[C] == 0)
            T->Collected[Count++] = static_cast<uint16_t>(C);
        NextFree = kShrinkCodes;
        while (Count > 0) {
          const int32_t C = T->Collected[--Count];
          const int32_t Parent = T->Parent[C];
          if (Parent >= 0 && T->Children[Parent] > 0)
            --T->Children[Parent];
          T->Parent[C] = -1;
          T->Value[C] = 0;
          T->Children[C] = 0;
          --NextFree;
          T->FreeList[NextFree - kFirstFreeCode] = static_cast<uint16_t>(C);
        }
      } else {
        Fail(ecBadBlock);
      }
      continue;
    }
    if (Code > kMaxShrinkCode)
      Fail(ecBadBlock);

    int32_t Depth = 0;
    int32_t Walk = Code;
    if (Walk > 256 && T->Parent[Walk] < 0) {
      // The code this very step defines: the previous string and its own first byte.
      T->Stack[Depth++] = FirstByte;
      Walk = Previous;
    }
    while (Walk > 256) {
      if (T->Parent[Walk] < 0)
        Fail(ecBadBlock); // a chain through a free code has no string
      if (Depth >= kStackSize) {
        FlushOutput();
        Fail(ecStackOverflow);
      }
      T->Stack[Depth++] = T->Value[Walk];
      Walk = T->Parent[Walk];
    }
    if (Walk == 256)
      Fail(ecBadBlock);
    FirstByte = static_cast<uint8_t>(Walk);
    WriteOutputByte(FirstByte);
    while (Depth > 0)
      WriteOutputByte(T->Stack[--Depth]);

    if (NextFree <= kMaxShrinkCode) {
      const int32_t New = T->FreeList[NextFree - kFirstFreeCode];
      ++NextFree;
      T->Parent[New] = Previous;
      T->Value[New] = FirstByte;
      if (T->Children[Previous] < UINT16_MAX)
        ++T->Children[Previous];
    }
    Previous = Code;
  }
}

// --- reduce --------------------------------------------------------------------------------------

void TLegacyDecoder::Unreduce(int Factor) {
  struct TTables {
    uint8_t Count[256];
    uint8_t Followers[256][kMaxFollowers];
  };
  const auto T = std::make_unique<TTables>();
  for (int Byte = 255; Byte >= 0; --Byte) {
    const int32_t Count = ReadBits(6);
    if (Count < 0)
      return;
    if (Count > kMaxFollowers)
      Fail(ecBadBlock); // six bits can say 63, but a set holds 32
    T->Count[Byte] = static_cast<uint8_t>(Count);
    for (int32_t I = 0; I < Count; ++I) {
      const int32_t Follower = ReadBits(8);
      if (Follower < 0)
        return;
      T->Followers[Byte][I] = static_cast<uint8_t>(Follower);
    }
  }

  ClearWindow(kReduceWindow);
  const int Mask = 0xFF >> Factor;
  int State = 0;
  int V = 0;
  int32_t Length = 0;
  uint8_t Last = 0;
  while (!Full()) {
    int32_t C;
    const int Count = T->Count[Last];
    if (Count == 0) {
      C = ReadBits(8);
    } else {
      const int32_t Literal = ReadBits(1);
      if (Literal < 0)
        break;
      if (Literal == 1) {
        C = ReadBits(8);
      } else {
        const int32_t Index = ReadBits(FollowerBits(Count));
        if (Index < 0)
          break;
        if (Index >= Count)
          Fail(ecBadBlock); // the index bits reach past the set
        C = T->Followers[Last][Index];
      }
    }
    if (C < 0)
      break;
    Last = static_cast<uint8_t>(C);

    switch (State) {
    case 0:
      if (C == 0x90)
        State = 1;
      else
        WriteWindowByte(static_cast<uint8_t>(C));
      break;
    case 1:
      if (C == 0) {
        WriteWindowByte(0x90);
        State = 0;
      } else {
        V = C;
        Length = V & Mask;
        State = Length == Mask ? 2 : 3;
      }
      break;
    case 2:
      Length += C;
      State = 3;
      break;
    default: {
      const int32_t Distance = (V >> (8 - Factor)) * 256 + C + 1;
      int32_t From = (WindowPos - Distance) & (kReduceWindow - 1);
      for (int32_t N = Length + 3; N > 0 && !Full(); --N) {
        const uint8_t Byte = Window[From];
        From = (From + 1) & (kReduceWindow - 1);
        WriteWindowByte(Byte);
      }
      State = 0;
      break;
    }
    }
  }
}

// --- implode -------------------------------------------------------------------------------------

namespace {

// A Shannon-Fano decode tree: node pairs (left, right); a value at or below Limit is a symbol, a
// larger one the index of an internal node, -1 an empty child. The root is the last node.
struct TTree {
  int32_t (*Nodes)[2];
  int32_t Root;  // 127 or 511
  int32_t Limit; // 63 or 255
};

enum class TTreeResult { Built, Ended, Refused };

} // namespace

void TLegacyDecoder::Explode(bool BigWindow, bool LiteralTree) {
  struct TTables {
    int32_t Literal[512][2];
    int32_t Length[128][2];
    int32_t Distance[128][2];
    uint8_t Bits[256]; // scratch: each symbol's bit length (0: none)
    uint8_t Sorted[256];
    uint16_t Word[256];
  };
  const auto T = std::make_unique<TTables>();

  const auto ReadTree = [&](const TTree &Tree) {
    for (int32_t N = 0; N <= Tree.Root; ++N)
      Tree.Nodes[N][0] = Tree.Nodes[N][1] = -1;
    const int32_t Symbols = Tree.Limit + 1;
    const int32_t Described = ReadBits(8);
    if (Described < 0)
      return TTreeResult::Ended;
    int32_t Given = 0;
    for (int32_t I = 0; I <= Described; ++I) {
      const int32_t Byte = ReadBits(8);
      if (Byte < 0)
        return TTreeResult::Ended;
      const int32_t Repeat = (Byte >> 4) + 1;
      if (Given + Repeat > Symbols)
        Fail(ecAmbiguousTree); // more symbols than the alphabet has
      for (int32_t R = 0; R < Repeat; ++R)
        T->Bits[Given++] = static_cast<uint8_t>((Byte & 0x0F) + 1);
    }
    // By bit length, equal lengths by symbol.
    int32_t Count = 0;
    for (int Bits = 1; Bits <= 16; ++Bits)
      for (int32_t S = 0; S < Given; ++S)
        if (T->Bits[S] == Bits)
          T->Sorted[Count++] = static_cast<uint8_t>(S);
    // Codes from the longest down; a set whose lengths overflow 16 bits cannot form a tree.
    uint32_t Code = 0, Increment = 0;
    int LastBits = 0;
    for (int32_t I = Count - 1; I >= 0; --I) {
      const int Bits = T->Bits[T->Sorted[I]];
      Code += Increment;
      if (Bits != LastBits) {
        LastBits = Bits;
        Increment = 1u << (16 - Bits);
      }
      if (Code > 0xFFFF)
        Fail(ecAmbiguousTree);
      T->Word[I] = static_cast<uint16_t>(Code >> (16 - Bits));
    }
    int32_t NextNode = Tree.Root - 1;
    for (int32_t I = 0; I < Count; ++I) {
      const int32_t Symbol = T->Sorted[I];
      const int Bits = T->Bits[Symbol];
      const uint32_t Word = T->Word[I];
      int32_t Node = Tree.Root;
      for (int Bit = Bits - 1; Bit >= 1; --Bit) {
        int32_t &Child = Tree.Nodes[Node][(Word >> Bit) & 1];
        if (Child < 0) {
          // Sparse long codes can ask for more internal nodes than the array has past the
          // symbol values.
          if (NextNode <= Tree.Limit)
            Fail(ecAmbiguousTree);
          Child = NextNode--;
        } else if (Child <= Tree.Limit) {
          if (Io.Report)
            Io.Report(ecAmbiguousTree);
          return TTreeResult::Refused;
        }
        Node = Child;
      }
      int32_t &Leaf = Tree.Nodes[Node][Word & 1];
      if (Leaf >= 0)
        Fail(ecAmbiguousTree);
      Leaf = Symbol;
    }
    return TTreeResult::Built;
  };

  const TTree Literal{T->Literal, 511, 255};
  const TTree Length{T->Length, 127, 63};
  const TTree Distance{T->Distance, 127, 63};
  if (LiteralTree && ReadTree(Literal) != TTreeResult::Built)
    return;
  if (ReadTree(Length) != TTreeResult::Built || ReadTree(Distance) != TTreeResult::Built)
    return;

  // One symbol, or -1 when the input ends inside it.
  const auto Decode = [&](const TTree &Tree) {
    int32_t Value = Tree.Root;
    while (Value > Tree.Limit) {
      const int32_t Bit = ReadBits(1);
      if (Bit < 0)
        return -1;
      Value = Tree.Nodes[Value][Bit];
      if (Value < 0)
        Fail(ecAmbiguousTree);
    }
    return Value;
  };

  ClearWindow(BigWindow ? 8192 : 4096);
  const int LowBits = BigWindow ? 7 : 6;
  const int32_t MinLength = LiteralTree ? 3 : 2;
  const int32_t Mask = WindowSize - 1;
  while (!Full()) {
    const int32_t Flag = ReadBits(1);
    if (Flag < 0)
      break;
    if (Flag == 1) {
      const int32_t Byte = LiteralTree ? Decode(Literal) : ReadBits(8);
      if (Byte < 0)
        break;
      WriteWindowByte(static_cast<uint8_t>(Byte));
      continue;
    }
    const int32_t Low = ReadBits(LowBits);
    if (Low < 0)
      break;
    const int32_t High = Decode(Distance);
    if (High < 0)
      break;
    const int32_t Back = ((High << LowBits) | Low) & Mask;
    int32_t Count = Decode(Length);
    if (Count < 0)
      break;
    if (Count == 63) {
      const int32_t Extra = ReadBits(8);
      if (Extra < 0)
        break;
      Count += Extra;
    }
    Count += MinLength;
    int32_t From = (WindowPos - Back - 1) & Mask;
    for (; Count > 0 && !Full(); --Count) {
      const uint8_t Byte = Window[From];
      From = (From + 1) & Mask;
      WriteWindowByte(Byte);
    }
  }
}

// --- the entry -----------------------------------------------------------------------------------

int64_t DecodeLegacy(TLegacyIo &Io, uint16_t Method, uint16_t Flags, int64_t CompressedSize,
                     int64_t UncompressedSize) {
  if (Method < 1 || Method > 6) {
    if (Io.Report)
      Io.Report(ecUnsupportedMethod);
    return 0;
  }
  std::unique_ptr<TLegacyDecoder> Decoder;
  try {
    Decoder = std::make_unique<TLegacyDecoder>(Io, CompressedSize, UncompressedSize);
  } catch (const std::bad_alloc &) {
    return 0; // no buffers: the entry is not decoded
  }
  // Whatever was decoded before an error still goes out, as the bytes were good up to there.
  const auto FlushQuietly = [&] {
    try {
      Decoder->FlushOutput();
    } catch (const TLegacyDecoder::TStop &) {
    }
  };
  try {
    if (!Decoder->Full()) {
      if (Method == 1)
        Decoder->Unshrink();
      else if (Method <= 5)
        Decoder->Unreduce(Method - 1);
      else
        Decoder->Explode((Flags & 2) != 0, (Flags & 4) != 0);
    }
  } catch (const TLegacyDecoder::TStop &) {
  } catch (const std::bad_alloc &) {
    // The method's tables could not be had: the entry is not decoded.
  } catch (...) {
    FlushQuietly();
    throw;
  }
  FlushQuietly();
  return Decoder->Written();
}

} // namespace arc
