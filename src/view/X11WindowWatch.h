// What the X server tells about a top-level window beyond Qt's exposure: whether other windows
// cover it completely (VisibilityNotify, which X servers send where no compositing manager keeps
// every window's picture) and whether it lies on another virtual desktop than the one shown
// (its _NET_WM_DESKTOP against the root window's _NET_CURRENT_DESKTOP, which window managers
// following the EWMH keep). On other platforms it knows nothing, and says neither.
#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QWindow>
#include <cstdint>
#include <optional>

struct xcb_connection_t;

namespace vexlor::view {

class X11WindowWatch : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
  public:
    explicit X11WindowWatch(QObject* parent = nullptr);
    ~X11WindowWatch() override;

    // Watches whether the native window `shown` is covered, and on which desktop its top-level
    // window `topLevel` lies (0: none). What was known of other windows is forgotten.
    void Watch(WId shown, WId topLevel);
    bool Covered() const { return covered_; }
    bool OnOtherDesktop() const;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

  signals:
    void Changed();

  private:
    void AddEvents(uint32_t window, uint32_t events);
    void ReadDesktops();

    xcb_connection_t* connection_ = nullptr;
    uint32_t window_ = 0;
    uint32_t topLevel_ = 0;
    uint32_t root_ = 0;
    uint32_t windowDesktopAtom_ = 0;
    uint32_t shownDesktopAtom_ = 0;
    bool covered_ = false;
    std::optional<uint32_t> windowDesktop_;
    std::optional<uint32_t> shownDesktop_;
};

}  // namespace vexlor::view
