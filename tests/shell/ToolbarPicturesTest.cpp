#include "tests/shell/ShellFixture.h"

#include <QAction>
#include <QIcon>
#include <QImage>

#include "editor/shell/ShellCommands.h"

using editor::Command;

// 帳票情報, 設計用紙 and 記入用紙 stand side by side and do different things:
// at the toolbar's size each pair of their pictures differs in at least a
// quarter of its pixels, so that none passes for another.
TEST_F(ShellFixture, TheFormAndSheetPicturesTellThemselvesApart) {
    startFrame();
    const Command ids[] = {Command::FormInfo, Command::DesignSheet, Command::EntrySheet};
    std::vector<QImage> pictures;
    for (const Command id : ids)
        pictures.push_back(frame()
                               .action(id)
                               ->icon()
                               .pixmap(QSize(18, 16))
                               .toImage()
                               .convertToFormat(QImage::Format_ARGB32));
    for (std::size_t a = 0; a < pictures.size(); ++a)
        for (std::size_t b = a + 1; b < pictures.size(); ++b) {
            ASSERT_EQ(pictures[a].size(), QSize(18, 16));
            int differing = 0;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 18; ++x)
                    differing += pictures[a].pixel(x, y) != pictures[b].pixel(x, y);
            EXPECT_GE(differing, 18 * 16 / 4) << a << " and " << b;
        }
}
