#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <memory>

#include "editor/canvas/FormCanvas.h"
#include "formdesc/MessageSink.h"
#include "tests/support/CanvasDriver.h"
#include "tests/support/RecordingDocumentUi.h"

// A canvas in a shown window of its own, driven with real mouse and key
// events: the document's dialogs are answered from queues and its messages
// recorded, never shown.
namespace testsupport {

class CanvasFixture : public testing::Test {
  protected:
    // The window resized to hostSize, the canvas placed at geometry in it (a
    // child is resized at once, not when the window system answers), shown.
    void showCanvas(QSize hostSize, const QRect& geometry) {
        m_host.resize(hostSize);
        canvas = std::make_unique<editor::FormCanvas>(ui, &m_host);
        canvas->setGeometry(geometry);
        m_host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_host));
        QApplication::processEvents();
        mouse = std::make_unique<CanvasDriver>(*canvas);
    }

    formdesc::RecordingMessageSink messages;
    formdesc::ScopedMessageSink scopedMessages{messages};
    RecordingDocumentUi ui;
    // The canvas goes before the window it lives in.
    QWidget m_host;
    std::unique_ptr<editor::FormCanvas> canvas;
    std::unique_ptr<CanvasDriver> mouse;
};

} // namespace testsupport
