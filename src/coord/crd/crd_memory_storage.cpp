#include "coord/crd/crd_memory_storage.h"

#include <algorithm>
#include <cstring>

namespace pelikon {

namespace {

// Bounds a write's end so that a damaged offset cannot ask for an
// impossible amount of memory.
constexpr uint64_t kMaxFileBytes = uint64_t{1} << 32;

class MemoryFile final : public CrdOpenFile {
 public:
  explicit MemoryFile(std::shared_ptr<MemoryCrdStorage::Content> content) : content_(std::move(content)) {
    content_->locked = true;
  }
  ~MemoryFile() override { content_->locked = false; }
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;

  size_t ReadUpTo(uint64_t offset, void* buffer, size_t size) const override {
    const std::vector<uint8_t>& bytes = content_->bytes;
    if (offset >= bytes.size()) return 0;
    const size_t n = static_cast<size_t>(std::min<uint64_t>(size, bytes.size() - offset));
    std::memcpy(buffer, bytes.data() + offset, n);
    return n;
  }

  bool WriteAt(uint64_t offset, const void* data, size_t size) override {
    if (content_->read_only || offset > kMaxFileBytes || size > kMaxFileBytes - offset) return false;
    std::vector<uint8_t>& bytes = content_->bytes;
    if (offset + size > bytes.size()) bytes.resize(static_cast<size_t>(offset + size));
    if (size > 0) std::memcpy(bytes.data() + offset, data, size);
    return true;
  }

  std::optional<uint64_t> Size() const override { return content_->bytes.size(); }
  bool Sync() override { return true; }

 private:
  std::shared_ptr<MemoryCrdStorage::Content> content_;
};

}  // namespace

std::shared_ptr<MemoryCrdStorage::Content> MemoryCrdStorage::Find(const std::filesystem::path& path) const {
  const auto found = files_.find(path.string());
  return found == files_.end() ? nullptr : found->second;
}

void MemoryCrdStorage::Put(const std::filesystem::path& path, const uint8_t* bytes, size_t size) {
  auto content = std::make_shared<Content>();
  content->bytes.assign(bytes, bytes + size);
  files_[path.string()] = std::move(content);
}

void MemoryCrdStorage::Put(const std::filesystem::path& path, const std::string& bytes) {
  Put(path, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

std::optional<std::string> MemoryCrdStorage::Get(const std::filesystem::path& path) const {
  const std::shared_ptr<Content> content = Find(path);
  if (!content) return std::nullopt;
  return std::string(content->bytes.begin(), content->bytes.end());
}

std::vector<std::filesystem::path> MemoryCrdStorage::Paths() const {
  std::vector<std::filesystem::path> paths;
  for (const auto& [path, content] : files_) paths.emplace_back(path);
  return paths;
}

void MemoryCrdStorage::SetReadOnly(const std::filesystem::path& path, bool read_only) {
  if (const std::shared_ptr<Content> content = Find(path)) content->read_only = read_only;
}

std::unique_ptr<CrdOpenFile> MemoryCrdStorage::Open(const std::filesystem::path& path) {
  const std::shared_ptr<Content> content = Find(path);
  if (!content || content->locked) return nullptr;
  return std::make_unique<MemoryFile>(content);
}

std::unique_ptr<CrdOpenFile> MemoryCrdStorage::Create(const std::filesystem::path& path,
                                                      const std::filesystem::path& /*like*/) {
  std::shared_ptr<Content> content = Find(path);
  if (content && content->locked) return nullptr;
  if (!content) {
    content = std::make_shared<Content>();
    files_[path.string()] = content;
  }
  content->bytes.clear();
  return std::make_unique<MemoryFile>(content);
}

bool MemoryCrdStorage::CanOpenForUpdate(const std::filesystem::path& path) {
  const std::shared_ptr<Content> content = Find(path);
  return content && !content->locked;
}

bool MemoryCrdStorage::Exists(const std::filesystem::path& path) {
  return Find(path) != nullptr;
}

std::optional<uint64_t> MemoryCrdStorage::RegularFileSize(const std::filesystem::path& path) {
  const std::shared_ptr<Content> content = Find(path);
  if (!content) return std::nullopt;
  return content->bytes.size();
}

size_t MemoryCrdStorage::ReadStart(const std::filesystem::path& path, void* buffer, size_t size) {
  const std::shared_ptr<Content> content = Find(path);
  if (!content) return 0;
  const size_t n = std::min(size, content->bytes.size());
  if (n > 0) std::memcpy(buffer, content->bytes.data(), n);
  return n;
}

bool MemoryCrdStorage::Remove(const std::filesystem::path& path) {
  return files_.erase(path.string()) > 0;
}

bool MemoryCrdStorage::Rename(const std::filesystem::path& from, const std::filesystem::path& to) {
  const auto found = files_.find(from.string());
  if (found == files_.end()) return false;
  std::shared_ptr<Content> content = found->second;
  files_.erase(found);
  files_[to.string()] = std::move(content);
  return true;
}

bool MemoryCrdStorage::ReplaceWithTwin(const std::filesystem::path& twin, const std::filesystem::path& target) {
  return Rename(twin, target);
}

}  // namespace pelikon
