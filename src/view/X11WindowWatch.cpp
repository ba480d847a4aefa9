// Watching a window through the X server's events.
#include "view/X11WindowWatch.h"

#include <xcb/xcb.h>
#include <QGuiApplication>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace vexlor::view {

namespace {

// A window on every desktop.
constexpr uint32_t kAllDesktops = 0xFFFFFFFF;

template <typename Reply>
using ReplyPointer = std::unique_ptr<Reply, decltype(&std::free)>;

uint32_t Atom(xcb_connection_t* connection, const char* name) {
    const ReplyPointer<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr),
        &std::free);
    return reply ? reply->atom : uint32_t{XCB_ATOM_NONE};
}

std::optional<uint32_t> CardinalProperty(xcb_connection_t* connection, uint32_t window,
                                         uint32_t atom) {
    const ReplyPointer<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(
            connection, xcb_get_property(connection, 0, window, atom, XCB_ATOM_CARDINAL, 0, 1),
            nullptr),
        &std::free);
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4)
        return std::nullopt;
    uint32_t value = 0;
    std::memcpy(&value, xcb_get_property_value(reply.get()), sizeof value);
    return value;
}

}  // namespace

X11WindowWatch::X11WindowWatch(QObject* parent) : QObject(parent) {
    if (const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
        connection_ = x11->connection();
    if (connection_ == nullptr) return;
    windowDesktopAtom_ = Atom(connection_, "_NET_WM_DESKTOP");
    shownDesktopAtom_ = Atom(connection_, "_NET_CURRENT_DESKTOP");
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11WindowWatch::~X11WindowWatch() {
    if (connection_ != nullptr && QCoreApplication::instance() != nullptr)
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

void X11WindowWatch::Watch(WId shown, WId topLevel) {
    if (connection_ == nullptr || (shown == window_ && topLevel == topLevel_)) return;
    window_ = static_cast<uint32_t>(shown);
    topLevel_ = static_cast<uint32_t>(topLevel);
    root_ = 0;
    covered_ = false;
    windowDesktop_.reset();
    shownDesktop_.reset();
    if (window_ == 0 || topLevel_ == 0) return;
    const ReplyPointer<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(connection_, xcb_query_tree(connection_, window_), nullptr),
        &std::free);
    if (!tree) return;
    root_ = tree->root;
    // Added to the events Qt chose for the windows (each client has a mask of its own).
    AddEvents(window_, XCB_EVENT_MASK_VISIBILITY_CHANGE);
    AddEvents(topLevel_, XCB_EVENT_MASK_PROPERTY_CHANGE);
    AddEvents(root_, XCB_EVENT_MASK_PROPERTY_CHANGE);
    xcb_flush(connection_);
    ReadDesktops();
}

void X11WindowWatch::AddEvents(uint32_t window, uint32_t events) {
    const ReplyPointer<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(connection_, xcb_get_window_attributes(connection_, window),
                                        nullptr),
        &std::free);
    if (!attributes || (attributes->your_event_mask & events) == events) return;
    const uint32_t mask = attributes->your_event_mask | events;
    xcb_change_window_attributes(connection_, window, XCB_CW_EVENT_MASK, &mask);
}

void X11WindowWatch::ReadDesktops() {
    windowDesktop_ = CardinalProperty(connection_, topLevel_, windowDesktopAtom_);
    shownDesktop_ = CardinalProperty(connection_, root_, shownDesktopAtom_);
}

bool X11WindowWatch::OnOtherDesktop() const {
    return windowDesktop_ && shownDesktop_ && *windowDesktop_ != kAllDesktops &&
           *windowDesktop_ != *shownDesktop_;
}

bool X11WindowWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (window_ == 0 || eventType != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    switch (event->response_type & 0x7F) {
        case XCB_VISIBILITY_NOTIFY: {
            const auto* visibility = static_cast<const xcb_visibility_notify_event_t*>(message);
            if (visibility->window != window_) break;
            covered_ = visibility->state == XCB_VISIBILITY_FULLY_OBSCURED;
            emit Changed();
            break;
        }
        case XCB_PROPERTY_NOTIFY: {
            const auto* property = static_cast<const xcb_property_notify_event_t*>(message);
            if ((property->window == topLevel_ && property->atom == windowDesktopAtom_) ||
                (property->window == root_ && property->atom == shownDesktopAtom_)) {
                ReadDesktops();
                emit Changed();
            }
            break;
        }
        default:
            break;
    }
    return false;  // Qt handles every event as before
}

}  // namespace vexlor::view
