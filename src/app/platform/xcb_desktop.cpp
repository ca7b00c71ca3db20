// X11 desktop services over the application's xcb connection.
#include "app/platform/xcb_desktop.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace gavrix {

namespace {

xcb_connection_t* Connection() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->connection() : nullptr;
}

xcb_window_t Root(xcb_connection_t* c) { return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root; }

template <class T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
  Reply<xcb_intern_atom_reply_t> r(
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr), &std::free);
  return r ? r->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

Reply<xcb_get_property_reply_t> Property(xcb_connection_t* c, xcb_window_t w, xcb_atom_t property, xcb_atom_t type,
                                         uint32_t longs = 64) {
  return {xcb_get_property_reply(c, xcb_get_property(c, 0, w, property, type, 0, longs), nullptr), &std::free};
}

bool HasProperty(xcb_connection_t* c, xcb_window_t w, xcb_atom_t property) {
  auto r = Property(c, w, property, XCB_GET_PROPERTY_TYPE_ANY, 1);
  return r && r->type != XCB_ATOM_NONE;
}

std::vector<xcb_window_t> Children(xcb_connection_t* c, xcb_window_t w) {
  Reply<xcb_query_tree_reply_t> r(xcb_query_tree_reply(c, xcb_query_tree(c, w), nullptr), &std::free);
  if (!r) return {};
  const xcb_window_t* first = xcb_query_tree_children(r.get());
  return {first, first + xcb_query_tree_children_length(r.get())};
}

QString Caption(xcb_connection_t* c, xcb_window_t w) {
  // 127 characters at most are compared; a little more is read to be safe with UTF-8.
  if (auto r = Property(c, w, Atom(c, "_NET_WM_NAME"), Atom(c, "UTF8_STRING")); r && r->value_len > 0)
    return QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(r.get())),
                             xcb_get_property_value_length(r.get()));
  if (auto r = Property(c, w, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY); r && r->value_len > 0 && r->format == 8)
    return QString::fromLatin1(static_cast<const char*>(xcb_get_property_value(r.get())),
                               xcb_get_property_value_length(r.get()));
  return {};
}

void SendToRoot(xcb_connection_t* c, xcb_window_t w, xcb_atom_t type, const uint32_t (&data)[5]) {
  xcb_client_message_event_t e;
  std::memset(&e, 0, sizeof e);
  e.response_type = XCB_CLIENT_MESSAGE;
  e.format = 32;
  e.window = w;
  e.type = type;
  std::memcpy(e.data.data32, data, sizeof data);
  xcb_send_event(c, 0, Root(c), XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&e));
}

const char kRestoreAtom[] = "_GAVRIX_RESTORE";

}  // namespace

bool XcbAvailable() { return QGuiApplication::platformName() == QLatin1String("xcb") && Connection(); }

// ---- Window list

XcbWindowList::XcbWindowList(QObject* parent) : WindowList(parent) {
  QCoreApplication::instance()->installNativeEventFilter(this);
}

XcbWindowList::~XcbWindowList() {
  if (QCoreApplication* app = QCoreApplication::instance()) app->removeNativeEventFilter(this);
}

std::vector<WindowList::TopWindow> XcbWindowList::topLevelWindows() {
  std::vector<TopWindow> out;
  xcb_connection_t* c = Connection();
  if (!c) return out;
  const xcb_atom_t wmState = Atom(c, "WM_STATE");
  const xcb_setup_t* setup = xcb_get_setup(c);
  std::vector<xcb_window_t> tops = Children(c, Root(c));
  // The stack runs bottom to top; the front window comes first here.
  for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
    // A window manager's frame holds the client, which carries WM_STATE.
    std::vector<xcb_window_t> clients{*it};
    if (!HasProperty(c, *it, wmState))
      for (xcb_window_t child : Children(c, *it))
        if (HasProperty(c, child, wmState)) clients.push_back(child);
    for (xcb_window_t w : clients) {
      if ((w & ~setup->resource_id_mask) == setup->resource_id_base) continue;  // this program's own window
      if (HasProperty(c, w, XCB_ATOM_WM_TRANSIENT_FOR)) continue;  // owned by another window
      QString caption = Caption(c, w);
      if (!caption.isEmpty()) out.push_back({w, caption});
    }
  }
  return out;
}

void XcbWindowList::restore(quint64 id) {
  xcb_connection_t* c = Connection();
  if (!c) return;
  const auto w = static_cast<xcb_window_t>(id);
  // Delivered to the client that created the window (no event mask).
  xcb_client_message_event_t e;
  std::memset(&e, 0, sizeof e);
  e.response_type = XCB_CLIENT_MESSAGE;
  e.format = 32;
  e.window = w;
  e.type = Atom(c, kRestoreAtom);
  xcb_send_event(c, 0, w, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&e));
  // Source 2: a request on the user's behalf, so the window manager does not refuse the focus.
  SendToRoot(c, w, Atom(c, "_NET_ACTIVE_WINDOW"), {2, XCB_CURRENT_TIME, 0, 0, 0});
  xcb_flush(c);
}

bool XcbWindowList::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
  if (eventType != "xcb_generic_event_t") return false;
  auto* event = static_cast<xcb_generic_event_t*>(message);
  if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE) return false;
  auto* m = reinterpret_cast<xcb_client_message_event_t*>(event);
  static const xcb_atom_t restore = Atom(Connection(), kRestoreAtom);
  if (m->type != restore) return false;
  emit restoreRequested();
  return true;
}

// ---- Hotkey

namespace {

constexpr xcb_keysym_t kNumLockSym = 0xff7f;

// Keycodes that carry keysym `sym` in the keyboard mapping.
std::vector<xcb_keycode_t> KeycodesOf(xcb_connection_t* c, xcb_keysym_t sym) {
  const xcb_setup_t* setup = xcb_get_setup(c);
  const int count = setup->max_keycode - setup->min_keycode + 1;
  Reply<xcb_get_keyboard_mapping_reply_t> r(
      xcb_get_keyboard_mapping_reply(
          c, xcb_get_keyboard_mapping(c, setup->min_keycode, static_cast<uint8_t>(count)), nullptr),
      &std::free);
  std::vector<xcb_keycode_t> out;
  if (!r || r->keysyms_per_keycode == 0) return out;
  const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(r.get());
  const int total = xcb_get_keyboard_mapping_keysyms_length(r.get());
  for (int i = 0; i < total; ++i)
    if (syms[i] == sym) {
      const auto code = static_cast<xcb_keycode_t>(setup->min_keycode + i / r->keysyms_per_keycode);
      if (out.empty() || out.back() != code) out.push_back(code);
    }
  return out;
}

// The modifier bit that NumLock sets (commonly Mod2); 0 when no modifier holds it.
uint16_t NumLockMask(xcb_connection_t* c) {
  const std::vector<xcb_keycode_t> numLock = KeycodesOf(c, kNumLockSym);
  Reply<xcb_get_modifier_mapping_reply_t> r(xcb_get_modifier_mapping_reply(c, xcb_get_modifier_mapping(c), nullptr),
                                            &std::free);
  if (!r || numLock.empty()) return 0;
  const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(r.get());
  for (int mod = 0; mod < 8; ++mod)
    for (int k = 0; k < r->keycodes_per_modifier; ++k)
      for (xcb_keycode_t code : numLock)
        if (code != 0 && codes[mod * r->keycodes_per_modifier + k] == code) return static_cast<uint16_t>(1u << mod);
  return 0;
}

constexpr uint16_t kChordMask = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;

uint16_t XcbModifiers(Qt::KeyboardModifiers m) {
  uint16_t out = 0;
  if (m & Qt::ShiftModifier) out |= XCB_MOD_MASK_SHIFT;
  if (m & Qt::ControlModifier) out |= XCB_MOD_MASK_CONTROL;
  if (m & Qt::AltModifier) out |= XCB_MOD_MASK_1;
  if (m & Qt::MetaModifier) out |= XCB_MOD_MASK_4;
  return out;
}

}  // namespace

XcbHotkey::XcbHotkey(QObject* parent) : GlobalHotkey(parent) { QCoreApplication::instance()->installNativeEventFilter(this); }

XcbHotkey::~XcbHotkey() {
  for (int id : grabs_.keys()) unregisterHotkey(id);
  if (QCoreApplication* app = QCoreApplication::instance()) app->removeNativeEventFilter(this);
}

bool XcbHotkey::registerHotkey(int id, Qt::KeyboardModifiers modifiers, Qt::Key key) {
  xcb_connection_t* c = Connection();
  if (!c || grabs_.contains(id)) return false;
  // Letters and digits: Qt's key code is the upper-case character; X names the key by its lower case.
  xcb_keysym_t sym = static_cast<xcb_keysym_t>(key);
  if (key >= Qt::Key_A && key <= Qt::Key_Z) sym = static_cast<xcb_keysym_t>(key - Qt::Key_A + 'a');
  const std::vector<xcb_keycode_t> codes = KeycodesOf(c, sym);
  if (codes.empty()) return false;
  Grab grab;
  grab.keycode = codes.front();
  grab.modifiers = XcbModifiers(modifiers);
  const uint16_t numLock = NumLockMask(c);
  const xcb_window_t root = Root(c);
  for (uint16_t extra : {uint16_t(0), uint16_t(XCB_MOD_MASK_LOCK), numLock, uint16_t(numLock | XCB_MOD_MASK_LOCK)}) {
    const auto mods = static_cast<uint16_t>(grab.modifiers | extra);
    if (std::find(grab.variants.begin(), grab.variants.end(), mods) != grab.variants.end()) continue;
    xcb_void_cookie_t cookie =
        xcb_grab_key_checked(c, 1, root, mods, grab.keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    Reply<xcb_generic_error_t> error(xcb_request_check(c, cookie), &std::free);
    if (error) {
      // Another client holds the combination (BadAccess): take back what was grabbed.
      for (uint16_t done : grab.variants) xcb_ungrab_key(c, grab.keycode, root, done);
      xcb_flush(c);
      return false;
    }
    grab.variants.push_back(mods);
  }
  grabs_.insert(id, grab);
  return true;
}

void XcbHotkey::unregisterHotkey(int id) {
  auto it = grabs_.find(id);
  if (it == grabs_.end()) return;
  if (xcb_connection_t* c = Connection()) {
    for (uint16_t mods : it->variants) xcb_ungrab_key(c, it->keycode, Root(c), mods);
    xcb_flush(c);
  }
  grabs_.erase(it);
}

bool XcbHotkey::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
  if (eventType != "xcb_generic_event_t") return false;
  auto* event = static_cast<xcb_generic_event_t*>(message);
  const uint8_t type = event->response_type & 0x7f;
  if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE) return false;
  auto* key = reinterpret_cast<xcb_key_press_event_t*>(event);
  for (auto it = grabs_.cbegin(); it != grabs_.cend(); ++it) {
    if (key->detail != it->keycode || (key->state & kChordMask) != it->modifiers) continue;
    if (type == XCB_KEY_PRESS) emit pressed(it.key());
    return true;
  }
  return false;
}

// ---- Taskbar

void XcbTaskbarEntry::hideEntry(QWidget* window) {
  window->installEventFilter(this);
  if (window->isVisible()) eventFilter(window, nullptr);
}

bool XcbTaskbarEntry::eventFilter(QObject* watched, QEvent* event) {
  if (event && event->type() != QEvent::Show) return false;
  auto* window = qobject_cast<QWidget*>(watched);
  xcb_connection_t* c = Connection();
  if (!window || !c) return false;
  const auto w = static_cast<xcb_window_t>(window->winId());
  const xcb_atom_t state = Atom(c, "_NET_WM_STATE");
  const xcb_atom_t skip = Atom(c, "_NET_WM_STATE_SKIP_TASKBAR");
  // Before the mapping the property is the client's (Qt keeps atoms it does not set itself) ...
  std::vector<xcb_atom_t> atoms;
  if (auto r = Property(c, w, state, XCB_ATOM_ATOM); r && r->format == 32) {
    const auto* first = static_cast<const xcb_atom_t*>(xcb_get_property_value(r.get()));
    atoms.assign(first, first + r->value_len);
  }
  if (std::find(atoms.begin(), atoms.end(), skip) == atoms.end()) {
    atoms.push_back(skip);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, state, XCB_ATOM_ATOM, 32, static_cast<uint32_t>(atoms.size()),
                        atoms.data());
  }
  // ... once mapped it is the window manager's, which takes a request (1: add).
  SendToRoot(c, w, state, {1, skip, 0, 1, 0});
  xcb_flush(c);
  return false;
}

}  // namespace gavrix
