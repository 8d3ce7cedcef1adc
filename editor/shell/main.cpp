#include "editor/shell/DesignerStartup.h"

int main(int argc, char** argv) {
    return editor::DesignerStartup::run(argc, argv);
}
