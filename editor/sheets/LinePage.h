#pragma once

#include "FigurePage.h"

// A line's page: its course, pen, colour and repetition.
namespace editor {

class LinePage : public FigurePage {
    Q_OBJECT

  public:
    LinePage(SheetContext& context, QWidget* parent = nullptr);
    bool store() override;
};

} // namespace editor
