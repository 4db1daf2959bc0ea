#include "model/DocumentSteps.h"

namespace {

// A step that swaps one value of the model between its old and new content. Field
// gives access to the value and says what a change of it touches.
template <typename Field>
class ValueStep final : public EditStep {
 public:
  using Value = typename Field::Value;
  ValueStep(std::string label, Field field, Value before, Value after)
      : EditStep(std::move(label)), field_(field), before_(before), after_(after) {}
  void Apply(TVoxelModel& model) const override { field_.Set(model, after_); }
  void Revert(TVoxelModel& model) const override { field_.Set(model, before_); }
  ChangeSet Changes() const override { return {field_.What(before_, after_), {}, Section()}; }
  std::size_t Bytes() const override { return sizeof(*this) + Label().capacity(); }

 private:
  Field field_;
  Value before_, after_;
};

template <typename Field>
std::unique_ptr<EditStep> Change(TVoxelModel& model, Field field,
                                 const typename Field::Value& value, std::string label) {
  const typename Field::Value old = field.Get(model);
  if (old == value) return nullptr;
  field.Set(model, value);
  auto step = std::make_unique<ValueStep<Field>>(std::move(label), field, old, value);
  if (Field::OfSection) step->SetSection(int(model.EditedSection()));
  return step;
}

// OfSection: the value belongs to the edited section, not to the whole file.
struct PaletteField {
  using Value = PaletteRGB;
  static constexpr bool OfSection = false;
  Value Get(const TVoxelModel& m) const { return m.Palette; }
  void Set(TVoxelModel& m, const Value& v) const { m.Palette = v; }
  unsigned What(const Value&, const Value&) const { return ChangedPalette; }
};

struct Properties {
  NameBytes Name;
  std::uint8_t NormalType;
  bool operator==(const Properties&) const = default;
};
struct PropertiesField {
  using Value = Properties;
  static constexpr bool OfSection = true;
  Value Get(const TVoxelModel& m) const { return {m.Name, m.NormalType}; }
  void Set(TVoxelModel& m, const Value& v) const {
    m.Name = v.Name;
    m.NormalType = v.NormalType;
  }
  unsigned What(const Value& a, const Value& b) const {
    return (a.Name != b.Name ? ChangedName : 0u) |
           (a.NormalType != b.NormalType ? ChangedNormalType : 0u);
  }
};

struct TailerField {
  using Value = std::uint32_t;
  static constexpr bool OfSection = true;
  std::size_t Index;
  Value Get(const TVoxelModel& m) const { return m.Tailer[Index]; }
  void Set(TVoxelModel& m, Value v) const { m.Tailer[Index] = v; }
  unsigned What(Value, Value) const { return ChangedTailer; }
};

}  // namespace

std::unique_ptr<EditStep> ChangePalette(TVoxelModel& model, const PaletteRGB& palette,
                                        std::string label) {
  PaletteRGB clean = palette;
  for (std::int32_t& e : clean) e &= 0xFFFFFF;  // entries never carry bits 24-31
  return Change(model, PaletteField{}, clean, std::move(label));
}

std::unique_ptr<EditStep> ChangeProperties(TVoxelModel& model, const NameBytes& name,
                                           std::uint8_t normalType, std::string label) {
  return Change(model, PropertiesField{}, Properties{name, normalType}, std::move(label));
}

std::unique_ptr<EditStep> ChangeTailerValue(TVoxelModel& model, std::size_t index,
                                            std::uint32_t bits, std::string label) {
  if (index >= TailerValueCount) return nullptr;
  return Change(model, TailerField{index}, bits, std::move(label));
}
