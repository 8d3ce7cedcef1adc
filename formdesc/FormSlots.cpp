#include "formdesc/FormSlots.h"

#include <algorithm>
#include <tuple>

#include "formdesc/ShiftJis.h"

namespace formdesc {

std::string slotKey(std::string_view name) {
    std::string key(sjis::trim(name));
    sjis::toUpper(key);
    return key;
}

std::vector<FormSlot> formSlots(const FormModel& model) {
    std::vector<int> order;
    for (int i = 0; i < model.fieldCount; ++i) {
        if (!slotKey(sjis::view(model.fields[static_cast<std::size_t>(i)].tag)).empty())
            order.push_back(i);
    }
    // Row order; fields at the same place keep their file order.
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const FieldInfo& fa = model.fields[static_cast<std::size_t>(a)];
        const FieldInfo& fb = model.fields[static_cast<std::size_t>(b)];
        return std::tie(fa.startRow, fa.startCol) < std::tie(fb.startRow, fb.startCol);
    });
    std::vector<FormSlot> slots;
    for (int index : order) {
        std::string key = slotKey(sjis::view(model.fields[static_cast<std::size_t>(index)].tag));
        auto found =
            std::find_if(slots.begin(), slots.end(), [&](const FormSlot& s) { return s.tag == key; });
        if (found == slots.end())
            slots.push_back({std::move(key), {index}});
        else
            found->fields.push_back(index);
    }
    return slots;
}

} // namespace formdesc
