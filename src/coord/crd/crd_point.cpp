#include "coord/crd/crd_point.h"

#include <utility>

namespace pelikon {

CrdPoint::CrdPoint(std::string_view id, double n, double e, double z, std::string_view description,
                   std::string_view code) {
  Set(id, n, e, z, description, code);
}

CrdPoint::CrdPoint(const CrdPoint& other)
    : northing(other.northing),
      easting(other.easting),
      elevation(other.elevation),
      id_(other.id_),
      description_(other.description_),
      code_(other.code_) {}

CrdPoint& CrdPoint::operator=(const CrdPoint& other) {
  northing = other.northing;
  easting = other.easting;
  elevation = other.elevation;
  word = 0;
  id_ = other.id_;
  description_ = other.description_;
  code_ = other.code_;
  return *this;
}

CrdPoint::CrdPoint(CrdPoint&& other) noexcept
    : northing(other.northing),
      easting(other.easting),
      elevation(other.elevation),
      id_(std::move(other.id_)),
      description_(std::move(other.description_)),
      code_(std::move(other.code_)) {}

CrdPoint& CrdPoint::operator=(CrdPoint&& other) noexcept {
  northing = other.northing;
  easting = other.easting;
  elevation = other.elevation;
  word = 0;
  id_ = std::move(other.id_);
  description_ = std::move(other.description_);
  code_ = std::move(other.code_);
  return *this;
}

void CrdPoint::Set(std::string_view id, double n, double e, double z, std::string_view description,
                   std::string_view code) {
  northing = n;
  easting = e;
  elevation = z;
  word = 0;
  SetId(id);
  SetDescription(description);
  SetCode(code);
}

}  // namespace pelikon
