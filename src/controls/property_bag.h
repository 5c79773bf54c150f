// The host's property bag: where a control keeps its design-time properties. Values equal
// to their default are not stored; the bag remembers the order of the writes.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace lumen::controls {

struct FontSpec {
  std::string name = "Verdana";
  double points = 8.25;
  int weight = 400;
  int charset = 0;
  bool italic = false, underline = false, strikeout = false;
  bool operator==(const FontSpec&) const = default;
};

using PropertyValue = std::variant<bool, int64_t, std::string, FontSpec>;

class PropertyBag {
 public:
  void WriteProperty(const std::string& name, const PropertyValue& value, const PropertyValue& defaultValue) {
    if (value == defaultValue) return;
    values_[name] = value;
    written_.push_back(name);
  }
  PropertyValue ReadProperty(const std::string& name, const PropertyValue& defaultValue) const {
    auto found = values_.find(name);
    return found == values_.end() ? defaultValue : found->second;
  }
  bool Has(const std::string& name) const { return values_.count(name) != 0; }
  const std::vector<std::string>& WriteOrder() const { return written_; }

 private:
  std::map<std::string, PropertyValue> values_;
  std::vector<std::string> written_;
};

}  // namespace lumen::controls
