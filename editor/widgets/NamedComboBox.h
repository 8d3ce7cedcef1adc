#pragma once

#include <QComboBox>

// A combo box that assistive technology finds by its accessible name. Qt on
// Linux reports a combo box's current text as its name, so that a list
// without a caption of its own (the edit palette's) could only be found by
// whatever it shows at the moment; this one reports the name it was given and
// keeps the current text as its value. Its entries stand in a child list, as
// Qt's own combo box shows them: a screen reader browses them by their texts
// and a robot picks one with its press action, as a click in the open list.
namespace editor {

class NamedComboBox : public QComboBox {
    Q_OBJECT

  public:
    explicit NamedComboBox(QWidget* parent = nullptr);
};

} // namespace editor
