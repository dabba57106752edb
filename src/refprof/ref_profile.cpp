#include "refprof/ref_profile.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>

#include "measure/int_text.h"

namespace qd718 {

namespace {

namespace fs = std::filesystem;

constexpr const char* LineEnd = "\r\n";
constexpr char CR = '\r';
constexpr char FieldSeparator = ';';
constexpr const char* RefExtension = ".ref";
constexpr const char* SaveErrorText = "Save Error";
constexpr const char* SaveErrorTitle = "QD718";

std::string ReferenceText(const TProfileStore& store, int channel) {
  std::string text = std::string(RefModelName) + LineEnd;
  const int c = ChannelIndex(channel);
  for (int i = 0; i < store.CountOf(channel); ++i) {
    const TDualPoint& point = store.WorkPoints[i];
    text += std::to_string(point.x[c]) + FieldSeparator + std::to_string(point.z[c]) + LineEnd;
  }
  return text;
}

// A fresh name beside the target, so the rename stays on one file system.
fs::path TemporaryBeside(const fs::path& target) {
  std::random_device random;
  fs::path temporary = target;
  temporary += ".tmp" + std::to_string(random());
  return temporary;
}

// Writes the whole text into a new file; false on any failure, the file then removed.
bool WriteNewFile(const fs::path& path, const std::string& text) {
  // "x": never open a file that already exists under the temporary name.
  std::FILE* file = std::fopen(path.string().c_str(), "wbx");
  if (file == nullptr) return false;
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size() &&
                       std::fflush(file) == 0 && std::ferror(file) == 0;
  const bool closed = std::fclose(file) == 0;
  if (written && closed) return true;
  std::error_code ignored;
  fs::remove(path, ignored);
  return false;
}

bool HasRefExtension(const std::string& name) {
  const std::string extension = RefExtension;
  if (name.size() < extension.size()) return false;
  // "*.ref" matches the extension in any letter case, as it does on Windows, so a reference
  // copied from a Windows station as "MODEL.REF" is still found.
  return std::equal(extension.rbegin(), extension.rend(), name.rbegin(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) ==
           std::tolower(static_cast<unsigned char>(b));
  });
}

// The whole content of a regular file; nothing for an entry that cannot be read in full.
std::optional<std::string> ReadWholeFile(const fs::path& path) {
  std::error_code error;
  if (!fs::is_regular_file(path, error)) return std::nullopt;
  // Opened for reading and writing, as the loader always has: a file that may not be
  // written (read-only) is skipped like one that cannot be read.
  std::fstream in(path, std::ios::in | std::ios::out | std::ios::binary);
  if (!in) return std::nullopt;
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return content;
}

// The points of a matching file, from the byte after the name line's CR LF. Each CR ends a
// point and the byte after it is skipped unseen; a bad token throws and leaves what was
// converted so far.
void LoadPoints(TRefProfile& ref, const std::string& content, std::size_t start) {
  ref.points.fill({});
  int index = 0;
  std::string token;
  for (std::size_t at = start; at < content.size(); ++at) {
    // The store holds RefCapacity points; further point lines are ignored.
    if (index == RefCapacity) break;
    const char byte = content[at];
    if (byte == FieldSeparator) {
      ref.points[index].x = static_cast<float>(StrToInt(token));
      token.clear();
    } else if (byte == CR) {
      ref.points[index].z = static_cast<float>(StrToInt(token));
      token.clear();
      ++index;
      ++at;
    } else {
      token += byte;
    }
  }
  ref.count = index;
}

}  // namespace

void SaveReference(const TProfileStore& store, Window& window, const std::string& fileName,
                   int channel) {
  // The file is replaced only once its new content is complete: a failed save keeps the
  // profile that was there.
  const fs::path target = fileName;
  const fs::path temporary = TemporaryBeside(target);
  bool saved = WriteNewFile(temporary, ReferenceText(store, channel));
  if (saved) {
    std::error_code error;
    fs::rename(temporary, target, error);
    if (error) {
      fs::remove(temporary, error);
      saved = false;
    }
  }
  if (!saved) window.MessageBox(SaveErrorText, SaveErrorTitle, MsgIcon::Error);
}

void LoadReference(TRefProfile& ref, const std::string& folder, const std::string& wantedName) {
  std::error_code error;
  fs::directory_iterator entries(folder, error);
  if (error) return;
  for (const fs::directory_entry& entry : entries) {
    const std::string name = entry.path().filename().string();
    if (!HasRefExtension(name)) continue;
    const std::optional<std::string> content = ReadWholeFile(entry.path());
    if (!content) continue;
    const std::size_t cr = content->find(CR);
    const std::size_t nameEnd = cr == std::string::npos ? content->size() : cr;
    if (content->compare(0, nameEnd, wantedName) != 0) continue;
    LoadPoints(ref, *content, cr == std::string::npos ? content->size() : cr + 2);
    ReferenceLoaded();
    return;
  }
}

void ReferenceLoaded() {}

void cxButton8Click(const TProfileStore& store, Window& window) {
  const SaveDialogSettings settings{"ref", "Model.ref", "REF files (*.ref)|*.ref"};
  if (const std::optional<std::string> fileName = window.SaveFileDialog(settings)) {
    SaveReference(store, window, *fileName, 1);
  }
}

}  // namespace qd718
