#pragma once
// The module ships in two editions built from the same sources. Each
// deliverable's library start-up sets its edition once; code that differs
// between them asks here. What the earlier edition lacks behaves as absent.
namespace vx {

enum class TModuleEdition { Current, Earlier };

TModuleEdition ModuleEdition();
void SetModuleEdition(TModuleEdition edition);
inline bool IsEarlierEdition() {
  return ModuleEdition() == TModuleEdition::Earlier;
}

// Sets an edition for the lifetime of the object (tests run both editions).
class ScopedEdition {
 public:
  explicit ScopedEdition(TModuleEdition edition) : saved_(ModuleEdition()) {
    SetModuleEdition(edition);
  }
  ~ScopedEdition() { SetModuleEdition(saved_); }
  ScopedEdition(const ScopedEdition&) = delete;
  ScopedEdition& operator=(const ScopedEdition&) = delete;

 private:
  TModuleEdition saved_;
};

}  // namespace vx
