// Fixture builders and the allocation watch of image_fixtures.h.
#include "tests/image/image_fixtures.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>

#include "tests/support/test_paths.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELMORA_TEST_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define VELMORA_TEST_ASAN 1
#endif

#ifdef VELMORA_TEST_ASAN
#include <sanitizer/allocator_interface.h>
#endif

namespace imagetest {

namespace {

std::atomic<std::size_t> largest{0};

void record(std::size_t size) {
  std::size_t seen = largest.load(std::memory_order_relaxed);
  while (size > seen && !largest.compare_exchange_weak(seen, size, std::memory_order_relaxed)) {
  }
}

void put16(Bytes& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put32(Bytes& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>((value >> shift) & 0xFF));
}

}  // namespace

Bytes tgaHeader(const TgaHeaderFields& f) {
  Bytes out;
  out.push_back(f.idLength);
  out.push_back(f.colorMapType);
  out.push_back(f.imageType);
  put16(out, 0);  // colour map start
  put16(out, f.colorMapLength);
  out.push_back(f.colorMapEntrySize);
  put16(out, 0);  // x origin
  put16(out, 0);  // y origin
  put16(out, f.width);
  put16(out, f.height);
  out.push_back(f.pixelDepth);
  out.push_back(f.descriptor);
  return out;
}

Bytes tgaFile(const TgaHeaderFields& fields, const Bytes& body) { return concat({tgaHeader(fields), body}); }

Bytes bmpFile(const BmpHeaderFields& f, const Bytes& pixels) {
  Bytes out;
  out.push_back('B');
  out.push_back('M');
  put32(out, static_cast<std::uint32_t>(f.dataOffset + pixels.size()));
  put16(out, 0);
  put16(out, 0);
  put32(out, f.dataOffset);
  put32(out, 40);
  put32(out, static_cast<std::uint32_t>(f.width));
  put32(out, static_cast<std::uint32_t>(f.height));
  put16(out, 1);
  put16(out, f.bitsPerPixel);
  put32(out, f.compression);
  put32(out, static_cast<std::uint32_t>(pixels.size()));
  put32(out, 2835);
  put32(out, 2835);
  put32(out, 0);
  put32(out, 0);
  while (out.size() < f.dataOffset) out.push_back(0xCC);
  out.insert(out.end(), pixels.begin(), pixels.end());
  return out;
}

Bytes bmpRows(const std::vector<Bytes>& rows, std::uint8_t pad) {
  Bytes out;
  for (const Bytes& row : rows) {
    out.insert(out.end(), row.begin(), row.end());
    for (std::size_t i = row.size(); i % 4 != 0; ++i) out.push_back(pad);
  }
  return out;
}

Bytes concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

ScratchDir::ScratchDir(const std::string& tag) : root(supporttest::makeTempDir(tag)) {}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(root, ignored);
}

std::string ScratchDir::write(const std::string& relative, const Bytes& bytes) const {
  const std::filesystem::path full = std::filesystem::path(root) / relative;
  std::filesystem::create_directories(full.parent_path());
  std::ofstream out(full, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return full.string();
}

void resetLargestAllocation() { largest.store(0); }
std::size_t largestAllocation() { return largest.load(); }

#ifdef VELMORA_TEST_ASAN
namespace {
void onMalloc(const volatile void*, std::size_t size) { record(size); }
void onFree(const volatile void*) {}
// ASan owns operator new; its hooks see every heap request instead.
[[maybe_unused]] const int hooksInstalled = __sanitizer_install_malloc_and_free_hooks(onMalloc, onFree);
}  // namespace
#endif

}  // namespace imagetest

#ifndef VELMORA_TEST_ASAN
// Replaceable allocation functions that note the size of each request.
void* operator new(std::size_t size) {
  imagetest::record(size);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}

void* operator new[](std::size_t size) {
  imagetest::record(size);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}

void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
#endif
