// One survey point as every coordinate operation passes it: northing,
// easting, elevation, identifier, description and a short code, plus a
// word for the caller's own use that every copy clears. Texts are cut to
// their limits when set; neither CRD variant stores the word or the code.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pelikon {

class CrdPoint {
 public:
  static constexpr size_t kIdLimit = 255;
  static constexpr size_t kDescriptionLimit = 255;
  static constexpr size_t kCodeLimit = 4;

  CrdPoint() = default;
  CrdPoint(std::string_view id, double northing, double easting, double elevation, std::string_view description = {},
           std::string_view code = {});
  CrdPoint(const CrdPoint& other);
  CrdPoint& operator=(const CrdPoint& other);
  // Moving clears the word too; the moved-from point keeps its numbers.
  CrdPoint(CrdPoint&& other) noexcept;
  CrdPoint& operator=(CrdPoint&& other) noexcept;

  void Set(std::string_view id, double northing, double easting, double elevation, std::string_view description = {},
           std::string_view code = {});
  const std::string& Id() const { return id_; }
  void SetId(std::string_view id) { id_ = id.substr(0, kIdLimit); }
  const std::string& Description() const { return description_; }
  void SetDescription(std::string_view text) { description_ = text.substr(0, kDescriptionLimit); }
  const std::string& Code() const { return code_; }
  void SetCode(std::string_view code) { code_ = code.substr(0, kCodeLimit); }

  double northing = 0;
  double easting = 0;
  double elevation = 0;
  uint32_t word = 0;

 private:
  std::string id_;
  std::string description_;
  std::string code_;
};

}  // namespace pelikon
