// X server queries for the X tests over a connection of their own.
#include "x11/x_session.h"

#include <QFile>
#include <QThread>
#include <filesystem>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

#include "app/platform/xcb_desktop.h"
#include "support/scripted_boxes_qt.h"

namespace gavrix::test {

namespace {

template <class T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

}  // namespace

struct XServer::Impl {
  xcb_connection_t* c = nullptr;
  xcb_window_t root = 0;
  std::vector<std::pair<xcb_keycode_t, uint16_t>> grabs;

  xcb_atom_t atom(const char* name) const {
    Reply<xcb_intern_atom_reply_t> r(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr),
        &std::free);
    return r ? r->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
  }
  std::vector<uint32_t> longs(xcb_window_t w, const char* property, xcb_atom_t type) const {
    Reply<xcb_get_property_reply_t> r(
        xcb_get_property_reply(c, xcb_get_property(c, 0, w, atom(property), type, 0, 64), nullptr), &std::free);
    if (!r || r->format != 32) return {};
    const auto* first = static_cast<const uint32_t*>(xcb_get_property_value(r.get()));
    return {first, first + r->value_len};
  }
};

XServer::XServer() : d_(std::make_unique<Impl>()) {
  d_->c = xcb_connect(nullptr, nullptr);
  d_->root = xcb_setup_roots_iterator(xcb_get_setup(d_->c)).data->root;
}

XServer::~XServer() {
  ungrabAll();
  xcb_disconnect(d_->c);
}

bool XServer::viewable(quint64 window) const {
  Reply<xcb_get_window_attributes_reply_t> r(
      xcb_get_window_attributes_reply(d_->c, xcb_get_window_attributes(d_->c, static_cast<xcb_window_t>(window)),
                                      nullptr),
      &std::free);
  return r && r->map_state == XCB_MAP_STATE_VIEWABLE;
}

quint64 XServer::activeWindow() const {
  auto v = d_->longs(d_->root, "_NET_ACTIVE_WINDOW", XCB_ATOM_WINDOW);
  return v.empty() ? 0 : v[0];
}

QStringList XServer::netWmState(quint64 window) const {
  QStringList names;
  for (uint32_t a : d_->longs(static_cast<xcb_window_t>(window), "_NET_WM_STATE", XCB_ATOM_ATOM)) {
    Reply<xcb_get_atom_name_reply_t> r(xcb_get_atom_name_reply(d_->c, xcb_get_atom_name(d_->c, a), nullptr),
                                       &std::free);
    if (r) names << QString::fromLatin1(xcb_get_atom_name_name(r.get()), xcb_get_atom_name_name_length(r.get()));
  }
  return names;
}

int XServer::wmState(quint64 window) const {
  auto v = d_->longs(static_cast<xcb_window_t>(window), "WM_STATE", d_->atom("WM_STATE"));
  return v.empty() ? 0 : static_cast<int>(v[0]);
}

quint64 XServer::findViewable(const QString& caption) const {
  XcbWindowList list;  // on the test program's own connection: it skips the test's windows
  for (const auto& w : list.topLevelWindows())
    if (w.caption == caption && viewable(w.id)) return w.id;
  return 0;
}

QPoint XServer::trayIconCenter() const {
  auto children = [&](xcb_window_t w) {
    Reply<xcb_query_tree_reply_t> r(xcb_query_tree_reply(d_->c, xcb_query_tree(d_->c, w), nullptr), &std::free);
    std::vector<xcb_window_t> out;
    if (r) out.assign(xcb_query_tree_children(r.get()), xcb_query_tree_children(r.get()) + xcb_query_tree_children_length(r.get()));
    return out;
  };
  auto name = [&](xcb_window_t w) {
    Reply<xcb_get_property_reply_t> r(
        xcb_get_property_reply(d_->c, xcb_get_property(d_->c, 0, w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 0, 16), nullptr),
        &std::free);
    return r ? std::string(static_cast<const char*>(xcb_get_property_value(r.get())),
                           static_cast<size_t>(xcb_get_property_value_length(r.get())))
             : std::string();
  };
  std::vector<xcb_window_t> level = children(d_->root);
  for (int depth = 0; depth < 4; ++depth) {
    std::vector<xcb_window_t> next;
    for (xcb_window_t w : level) {
      if (name(w) == "panel") {
        for (xcb_window_t icon : children(w)) {
          if (!viewable(icon)) continue;
          Reply<xcb_get_geometry_reply_t> g(xcb_get_geometry_reply(d_->c, xcb_get_geometry(d_->c, icon), nullptr),
                                            &std::free);
          Reply<xcb_translate_coordinates_reply_t> t(
              xcb_translate_coordinates_reply(d_->c, xcb_translate_coordinates(d_->c, icon, d_->root, 0, 0), nullptr),
              &std::free);
          if (g && t && g->width >= 8 && g->height >= 8) return QPoint(t->dst_x + g->width / 2, t->dst_y + g->height / 2);
        }
      }
      for (xcb_window_t child : children(w)) next.push_back(child);
    }
    level = std::move(next);
  }
  return {};
}

bool XServer::grabKey(uint32_t keysym, uint16_t modifiers) {
  const xcb_setup_t* setup = xcb_get_setup(d_->c);
  const int count = setup->max_keycode - setup->min_keycode + 1;
  Reply<xcb_get_keyboard_mapping_reply_t> r(
      xcb_get_keyboard_mapping_reply(d_->c, xcb_get_keyboard_mapping(d_->c, setup->min_keycode, static_cast<uint8_t>(count)),
                                     nullptr),
      &std::free);
  if (!r) return false;
  const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(r.get());
  for (int i = 0; i < xcb_get_keyboard_mapping_keysyms_length(r.get()); ++i) {
    if (syms[i] != keysym) continue;
    const auto code = static_cast<xcb_keycode_t>(setup->min_keycode + i / r->keysyms_per_keycode);
    Reply<xcb_generic_error_t> error(
        xcb_request_check(d_->c, xcb_grab_key_checked(d_->c, 1, d_->root, modifiers, code, XCB_GRAB_MODE_ASYNC,
                                                       XCB_GRAB_MODE_ASYNC)),
        &std::free);
    if (error) return false;
    d_->grabs.push_back({code, modifiers});
    return true;
  }
  return false;
}

void XServer::ungrabAll() {
  for (auto [code, mods] : d_->grabs) xcb_ungrab_key(d_->c, code, d_->root, mods);
  d_->grabs.clear();
  xcb_flush(d_->c);
}

void XDoTool(const QStringList& arguments) {
  QProcess p;
  p.start(QStringLiteral("xdotool"), arguments);
  p.waitForFinished(5000);
  Pump(300);  // the program under test and the window manager answer
}

ProgramCopy::ProgramCopy(const std::string& ini) {
  std::filesystem::copy_file(GAVRIX_EXE, folder_.file("gavrix"));
  if (!ini.empty()) WriteFile(iniPath(), ini);
  process_.setProcessChannelMode(QProcess::ForwardedChannels);
}

ProgramCopy::~ProgramCopy() {
  if (process_.state() != QProcess::NotRunning) {
    process_.kill();
    process_.waitForFinished(3000);
  }
}

void ProgramCopy::startOffscreen(const QString& runtimeFolder) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeFolder);
  process_.setProcessEnvironment(env);
  start();
}

void ProgramCopy::start() { process_.start(QString::fromStdString(folder_.file("gavrix")), {}); }

quint64 ProgramCopy::waitForWindow(int ms) {
  XServer x;
  quint64 found = 0;
  // Found, and managed by the window manager (which maps it again inside its frame).
  const bool shown = PumpUntil(
      [&] {
        if (const quint64 id = x.findViewable(QStringLiteral("Gavrix_v1.99 beta"))) found = id;
        return found && x.viewable(found) && x.wmState(found) == 1;
      },
      ms);
  return shown ? found : 0;
}

bool ProgramCopy::iniExists() const { return QFile::exists(QString::fromStdString(iniPath())); }

}  // namespace gavrix::test
