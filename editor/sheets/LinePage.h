#pragma once

#include "editor/sheets/FigurePage.h"

// A line's page: its course, pen, colour and repetition.
namespace editor {

class LinePage : public FigurePage {
    Q_OBJECT

  public:
    LinePage(PropertySheetContext& context, QWidget* parent = nullptr);
    bool store() override;
};

} // namespace editor
