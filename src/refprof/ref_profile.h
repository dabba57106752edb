#pragma once

// .ref reference profile files: a name line, then one "x;z" line per point, CR LF after
// every line.

#include <array>
#include <cstdint>
#include <string>

#include "measure/profile_store.h"
#include "station/window.h"

namespace qd718 {

inline constexpr int RefCapacity = 20000;
inline constexpr const char* RefModelName = "Model ";

struct TRefProfile {
  struct Point {
    float x = 0;
    float z = 0;
  };
  std::array<Point, RefCapacity> points{};
  std::int32_t count = 0;
};

// Writes the channel's working profile; on any failure shows "Save Error" (title "QD718")
// and leaves an existing file as it was.
void SaveReference(const TProfileStore& store, Window& window, const std::string& fileName,
                   int channel);
// Loads the first *.ref entry of the folder, in the order the file system lists them, whose
// name line (every byte up to the first CR) equals the wanted name byte for byte. Entries
// that cannot be read in full (directories too) are skipped; no match leaves ref as it was.
// At most RefCapacity points are stored, further point lines are ignored. Throws
// ConversionError on a token that is not a decimal integer: the load stops there, keeping
// the points cleared and converted so far and the previous count.
void LoadReference(TRefProfile& ref, const std::string& folder, const std::string& wantedName);
// A hook run after a complete load and before "Calculate" draws. It does nothing.
void ReferenceLoaded();

// "Save" (hidden): the save dialog, then SaveReference of channel 1.
void cxButton8Click(const TProfileStore& store, Window& window);

}  // namespace qd718
