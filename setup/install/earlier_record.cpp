// Carrying the items of an earlier record over into the new one, each item once.
#include "install/earlier_record.h"

#include <cstdlib>

#include "util/bounded_text.h"

namespace {

// The items seen so far, by kind and text: open addressing over pointers into the two lists,
// which do not change while the set is in use.
class ItemSet {
 public:
  explicit ItemSet(uint32_t items) : slots_(nullptr), mask_(0) {
    uint32_t count = 16;
    while (count < 2 * items && count < (1u << 28)) count *= 2;
    if (count < 2 * items) return;
    slots_ = static_cast<const UninstallInfo **>(calloc(count, sizeof *slots_));
    mask_ = count - 1;
  }
  ~ItemSet() { free(slots_); }
  ItemSet(const ItemSet &) = delete;
  ItemSet &operator=(const ItemSet &) = delete;
  bool usable() const { return slots_ != nullptr; }

  // true when item was not in the set and is now.
  bool add(const UninstallInfo *item) {
    uint32_t slot = (mbcs_hash_nocase(item->value.c_str()) ^ static_cast<uint32_t>(item->kind)) & mask_;
    for (; slots_[slot]; slot = (slot + 1) & mask_)
      if (slots_[slot]->kind == item->kind && mbcs_compare_nocase(slots_[slot]->value.c_str(), item->value.c_str()) == 0)
        return false;
    slots_[slot] = item;
    return true;
  }

 private:
  const UninstallInfo **slots_;
  uint32_t mask_;
};

}  // namespace

void carry_over_items(const ItemList<UninstallInfo> &current, const ItemList<UninstallInfo> &earlier,
                      ItemList<UninstallInfo> *carried) {
  ItemSet seen(current.size() + earlier.size());
  for (const UninstallInfo &item : current)
    if (seen.usable()) seen.add(&item);
  for (const UninstallInfo &item : earlier)
    if (!seen.usable() || seen.add(&item)) carried->append(item);
}
