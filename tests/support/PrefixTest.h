// SPDX-License-Identifier: MIT
#pragma once

#include "HookRecorders.h"
#include "TestPrefix.h"

#include <QObject>

#include <memory>

// A test case whose every test function gets a fresh prefix and a message-box recorder.
class PrefixTest : public QObject {
    Q_OBJECT
protected slots:
    void init() {
        m_prefix = std::make_unique<TestPrefix>();
        m_boxes = std::make_unique<MessageBoxRecorder>();
    }
    void cleanup() {
        m_boxes.reset();
        m_prefix.reset();
    }

protected:
    std::unique_ptr<TestPrefix> m_prefix;
    std::unique_ptr<MessageBoxRecorder> m_boxes;
};
