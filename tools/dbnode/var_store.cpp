#include "tools/dbnode/var_store.h"

namespace dbnode {

bool StoreValue(VarStore* store, int index, double value, bool force) {
    const VarType type = TypeOf(index);
    const auto slot = static_cast<std::size_t>(index);
    bool changed = false;
    if (type == VarType::kInt) {
        if (!(value > -2147483649.0 && value < 2147483648.0)) return false;
        const auto v = static_cast<std::int32_t>(value);
        changed = store->ints[slot] != v;
        store->ints[slot] = v;
    } else if (type == VarType::kReal) {
        if (value != value) return false;  // NaN would never compare equal again
        changed = store->reals[slot] != value;
        store->reals[slot] = value;
    } else {
        return false;
    }
    if (changed || force || !store->known[slot]) store->dirty[slot] = true;
    store->known[slot] = true;
    return true;
}

double ValueOf(const VarStore& store, int index) {
    const VarType type = TypeOf(index);
    const auto slot = static_cast<std::size_t>(index);
    if (type == VarType::kInt) return store.ints[slot];
    if (type == VarType::kReal) return store.reals[slot];
    return 0.0;
}

}  // namespace dbnode
