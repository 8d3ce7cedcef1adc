#include "runtime/print/OwnerMessageSink.h"

#include "runtime/print/OwnerWindow.h"

#include <QMessageBox>

namespace runtime {

void OwnerMessageSink::adopt(QMessageBox& box) {
    m_owner.adopt(box);
}

} // namespace runtime
