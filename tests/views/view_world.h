#pragma once

#include "app/support/app_world.h"
#include "shell/frm_main.h"
#include "support/stub_bridge.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QStringList>
#include <QtTest>
#include <cstddef>
#include <map>
#include <memory>

namespace qmt::test {

using Registers = std::map<std::int32_t, std::uint8_t>;

// The register requests the stub received from call `from` on: "R03" for a
// read of pointer 0x03, "W09=A5" for a write of 0xA5 at 0x09, "P02" for a
// status poll of 0x02.
inline QStringList RegisterRequests(const StubBridge& stub, std::size_t from = 0) {
    const auto hex = [](int value) {
        return QString::number(value & 0xFF, 16).toUpper().rightJustified(2, QLatin1Char('0'));
    };
    QStringList requests;
    for (std::size_t i = from; i < stub.log.size(); ++i) {
        const BridgeCall& call = stub.log[i];
        if (call.request == 220) {
            requests.append(QLatin1Char('P') + hex(call.index));
        } else if (call.request == 222 && call.arg4 != 0) {
            requests.append(QLatin1Char('R') + hex(call.index));
        } else if (call.request == 222) {
            requests.append(QLatin1Char('W') + hex(call.index) + QLatin1Char('=') +
                            hex(call.index >> 8));
        }
    }
    return requests;
}

inline void Click(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton);
}
inline void Type(QLineEdit* box, const QString& text) {
    box->clear();
    QTest::keyClicks(box, text);
}
// Lets the event loop delete the windows closed so far.
inline void DeleteClosed() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

inline QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
inline void Put(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A started program whose chip held `registers` at start-up, on the world's
// stub or on a test's own bridge (owned from here on) around a `stub` member.
struct ViewWorld {
    explicit ViewWorld(const Registers& registers = {}) : ViewWorld(registers, nullptr, nullptr) {}
    template <class Board>
    explicit ViewWorld(Board* board, const Registers& registers = {})
        : ViewWorld(registers, std::unique_ptr<link::Bridge>(board), &board->stub) {}
    ViewWorld(const Registers& registers, std::unique_ptr<link::Bridge> bridge, StubBridge* ownStub)
        : world(std::move(bridge)), stub(ownStub != nullptr ? *ownStub : *world.stub) {
        stub.AddChip(AppWorld::ChipAddress);
        for (const auto& [reg, value] : registers) {
            chip()[reg] = value;
        }
        if (world.RunMain()) {
            qFatal("start-up failed");
        }
        mark = stub.log.size();
    }
    std::map<std::int32_t, std::uint8_t>& chip() { return stub.chips[AppWorld::ChipAddress]; }
    // Every register the settings files walk, at its power-on value.
    void PowerOn() {
        auto& table = world.app->regMap();
        for (const int index : table.SaveWalk()) {
            const auto& entry = table.RegMap[static_cast<std::size_t>(index)];
            chip()[entry.ReadAddress] = static_cast<std::uint8_t>(entry.DefaultValue);
        }
    }
    shell::FrmMain& main() const { return world.main(); }
    qmt::GeneralStuff& state() const { return world.app->state(); }
    QString Path(const QString& name) const { return world.folder.filePath(name); }
    QString Status() const { return main().StatusPanel(1)->text(); }

    template <class Window> Window* Loaded(shell::WindowId id) const {
        return qobject_cast<Window*>(main().childWindows().Loaded(id));
    }
    template <class Window> Window* Open(shell::WindowId id) const {
        main().OpenWindow(id);
        return Loaded<Window>(id);
    }
    // Opens by a menu item or toolbar button, by the action's name.
    template <class Window> Window* Trigger(const char* action, shell::WindowId id) const {
        main().findChild<QAction*>(QLatin1String(action))->trigger();
        return Loaded<Window>(id);
    }
    // Whether the action opens the window with no window open before.
    bool OpensBy(const char* action, shell::WindowId id) const {
        main().childWindows().CloseAll();
        return Trigger<QWidget>(action, id) != nullptr;
    }
    void Run(int ticks, std::int64_t ms = 10) {
        for (int i = 0; i < ticks; ++i) {
            world.Tick(ms);
        }
    }
    // The register requests since the last call (or since start-up).
    QStringList Requests() {
        const QStringList requests = RegisterRequests(stub, mark);
        mark = stub.log.size();
        return requests;
    }
    QStringList Writes() { return Requests().filter(QStringLiteral("W")); }

    AppWorld world;
    StubBridge& stub;
    std::size_t mark = 0;
};

} // namespace qmt::test
