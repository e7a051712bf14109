#include "sfu/builder/lzma_compressor.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>

#include "common/byte_io.h"
#include "common/text.h"

#ifdef _WIN32
#include "common/os/win32.h"  // the SDK's Types.h includes <windows.h>
#endif
extern "C" {
#include <LzmaEnc.h>
}

namespace kvx {

namespace {

struct LevelRow {
  int algorithm;
  uint32_t dictionary;
  int fastBytes;
  int binaryTree;  // 0: hash chain
};
const LevelRow kLevels[] = {
    {0, 32768, 32, 0},
    {1, 2097152, 32, 1},
    {2, 8388608, 64, 1},
    {2, 33554432, 64, 1},
};

constexpr size_t kOutputBlock = 65536;

// Zeroed, because the SDK's match finder compares fields of its state before it first sets
// them (harmless, but it makes runs differ under a memory checker).
void* Alloc(void*, size_t size) { return size == 0 ? nullptr : std::calloc(1, size); }
void Free(void*, void* address) { std::free(address); }
ISzAlloc gAlloc = {Alloc, Free};

CLzmaEncProps PropsFor(int level, size_t inputSize) {
  const LevelRow& row = kLevels[level - 1];
  CLzmaEncProps props;
  LzmaEncProps_Init(&props);
  props.algo = row.algorithm;
  props.dictSize = row.dictionary;
  props.fb = row.fastBytes;
  props.btMode = row.binaryTree;
  props.numHashBytes = 4;
  props.lc = 3;
  props.lp = 0;
  props.pb = 2;
  props.writeEndMark = 1;
  // The match finder is sized for what it will see: no match reaches further back than the
  // input, so the stream stays valid for the full dictionary that the header announces, and
  // a small core does not make the encoder reserve hundreds of megabytes.
  if (inputSize < row.dictionary) props.reduceSize = static_cast<UInt32>(inputSize);
  return props;
}

// The encoder's input: the bytes handed to Compress.
struct InStream {
  ISeqInStream vt;
  const std::vector<uint8_t>* input;
  size_t position;

  static SRes Read(void* p, void* buffer, size_t* size) {
    InStream* in = static_cast<InStream*>(p);
    const size_t n = std::min(*size, in->input->size() - in->position);
    std::memcpy(buffer, in->input->data() + in->position, n);
    in->position += n;
    *size = n;
    return SZ_OK;
  }
};

// The encoder's output: gathered into blocks for the write procedure. An exception of the
// write procedure cannot cross the C encoder; it is kept and raised once the encoder returns.
struct OutStream {
  ISeqOutStream vt;
  const TLZMACompressor::WriteProc* write;
  std::vector<uint8_t> block;
  std::exception_ptr error;

  void Put(const uint8_t* bytes, size_t size) {
    for (size_t done = 0; done < size;) {
      const size_t n = std::min(size - done, kOutputBlock - block.size());
      block.insert(block.end(), bytes + done, bytes + done + n);
      done += n;
      if (block.size() == kOutputBlock) Flush();
    }
  }
  void Flush() {
    if (!block.empty()) (*write)(block.data(), block.size());
    block.clear();
  }

  static size_t Write(void* p, const void* data, size_t size) {
    OutStream* out = static_cast<OutStream*>(p);
    try {
      out->Put(static_cast<const uint8_t*>(data), size);
      return size;
    } catch (...) {
      out->error = std::current_exception();
      return 0;
    }
  }
};

}  // namespace

TLZMACompressor::TLZMACompressor(int level, WriteProc write) : level_(level), write_(std::move(write)) {
  if (level < 1 || level > 4)
    throw ECompressInternalError(Format("lzma: TLZMACompressor.Create got invalid CompressionLevel %d", level));
  encoder_ = LzmaEnc_Create(&gAlloc);
  if (encoder_ == nullptr) throw ECompressInternalError("lzma: LZMA_Init failed");
  const CLzmaEncProps props = PropsFor(level_, SIZE_MAX);
  if (LzmaEnc_SetProps(encoder_, &props) != SZ_OK) {
    LzmaEnc_Destroy(encoder_, &gAlloc, &gAlloc);
    throw ECompressInternalError("lzma: LZMA_SetProps failed");
  }
}

TLZMACompressor::~TLZMACompressor() { LzmaEnc_Destroy(encoder_, &gAlloc, &gAlloc); }

void TLZMACompressor::Compress(const void* buffer, size_t count) {
  const uint8_t* bytes = static_cast<const uint8_t*>(buffer);
  input_.insert(input_.end(), bytes, bytes + count);
}

void TLZMACompressor::Finish() {
  const CLzmaEncProps props = PropsFor(level_, input_.size());
  if (LzmaEnc_SetProps(encoder_, &props) != SZ_OK) throw ECompressInternalError("lzma: LZMA_SetProps failed");
  Byte header[LZMA_PROPS_SIZE];
  SizeT headerSize = sizeof header;
  LzmaEnc_WriteProperties(encoder_, header, &headerSize);
  PutU32(header + 1, kLevels[level_ - 1].dictionary);

  InStream in{{InStream::Read}, &input_, 0};
  OutStream out{{OutStream::Write}, &write_, {}, nullptr};
  out.block.reserve(kOutputBlock);
  out.Put(header, sizeof header);
  const SRes result = LzmaEnc_Encode(encoder_, &out.vt, &in.vt, nullptr, &gAlloc, &gAlloc);
  if (out.error) std::rethrow_exception(out.error);
  if (result == SZ_ERROR_MEM) throw std::bad_alloc();
  if (result != SZ_OK)
    throw ECompressInternalError(Format("lzma: Finish: LZMA_Encode failed with code 0x%.8x", static_cast<unsigned>(result)));
  out.Flush();
}

}  // namespace kvx
