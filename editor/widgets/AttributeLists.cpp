#include "editor/widgets/AttributeLists.h"

#include "formdesc/FormModel.h"

#include <QComboBox>

#include <array>

namespace editor {

namespace {

constexpr std::array kTagMode{AttributeEntry{"使用しない", 0}, AttributeEntry{"使用する", 1}};

constexpr std::array kLineCourse{
    AttributeEntry{"横線", formdesc::kCourseH},
    AttributeEntry{"縦線", formdesc::kCourseV},
    AttributeEntry{"斜線(左上り)", formdesc::kCourseLU},
    AttributeEntry{"斜線(右上り)", formdesc::kCourseRU},
};

constexpr std::array kMeshKind{
    AttributeEntry{"枠のみ", formdesc::kMeshFrameOnly},
    AttributeEntry{"中塗りのみ", formdesc::kMeshFillOnly},
    AttributeEntry{"枠と中塗り", formdesc::kMeshFrameAndFill},
};

constexpr std::array kLineType{
    AttributeEntry{"実線", 1},     AttributeEntry{"点線(密)", 2}, AttributeEntry{"鎖線", 3},
    AttributeEntry{"点線(粗)", 4}, AttributeEntry{"一点鎖線", 5}, AttributeEntry{"二点鎖線", 6},
};

constexpr std::array kLineWidth{
    AttributeEntry{"極細", 1}, AttributeEntry{"細い", 2}, AttributeEntry{"標準", 3},
    AttributeEntry{"太い", 4}, AttributeEntry{"極太", 5},
};

constexpr std::array kLoopDirection{
    AttributeEntry{"なし", formdesc::kLoopNone},
    AttributeEntry{"横方向", formdesc::kLoopH},
    AttributeEntry{"縦方向", formdesc::kLoopV},
};

constexpr std::array kLoopUnit{
    AttributeEntry{"", formdesc::kLoopNone},
    AttributeEntry{"桁", formdesc::kLoopH},
    AttributeEntry{"行", formdesc::kLoopV},
};

// The whole-page entry asks for the zoom at which the page fits the window.
constexpr std::array kZoom{
    AttributeEntry{"200%", 200}, AttributeEntry{"150%", 150}, AttributeEntry{"125%", 125},
    AttributeEntry{"100%", 100}, AttributeEntry{"75%", 75},   AttributeEntry{"50%", 50},
    AttributeEntry{"全体", -1},
};

// Half-width katakana, as the lists have always shown them.
constexpr std::array kSelectionFilter{
    AttributeEntry{"全て選択", 0}, AttributeEntry{"ﾌｨｰﾙﾄﾞ", 1},   AttributeEntry{"直線", 2},
    AttributeEntry{"四角形", 3},   AttributeEntry{"ﾋﾞｯﾄﾏｯﾌﾟ", 4},
};

const AttributeTable kTables[] = {
    {kTagMode, 11},      {kLineCourse, 13}, {kMeshKind, 11}, {kLineType, 9},        {kLineWidth, 5},
    {kLoopDirection, 7}, {kLoopUnit, 3},    {kZoom, 5},      {kSelectionFilter, 9},
};

} // namespace

const AttributeTable& attributeTable(AttributeList list) {
    return kTables[static_cast<int>(list)];
}

QStringList attributeTexts(AttributeList list) {
    QStringList texts;
    for (const AttributeEntry& entry : attributeTable(list).entries)
        texts << QString::fromUtf8(entry.text.data(), qsizetype(entry.text.size()));
    return texts;
}

std::optional<int> codeAt(AttributeList list, int position) {
    const auto entries = attributeTable(list).entries;
    if (position < 0 || position >= int(entries.size()))
        return std::nullopt;
    return entries[std::size_t(position)].code;
}

int positionOf(AttributeList list, int code) {
    const auto entries = attributeTable(list).entries;
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i].code == code)
            return int(i);
    return -1;
}

void fillCombo(QComboBox& combo, AttributeList list) {
    combo.clear();
    combo.addItems(attributeTexts(list));
}

void fillCombo(QComboBox& combo, AttributeList list, int code) {
    fillCombo(combo, list);
    combo.setCurrentIndex(positionOf(list, code));
}

} // namespace editor
