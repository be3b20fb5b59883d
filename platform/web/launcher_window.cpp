// The launcher's window in a web page: a dialog-like <div id="launcher"> with
// its title bar (#title), HTML controls placed at the caller's coordinates (CSS
// pixels), canvases painted from our own 24-bit buffers (one canvas pixel on
// one device pixel), and one queue of the events the controls raise. The
// controls' last values come back when the window opens again.
#include "platform/launcher_window.h"

#include <emscripten.h>

#include <map>

#include "platform/platform.h"
#include "platform/web/page.h"
#include "render/draw.h"

// Sizes a launcher canvas so that each of its pixels covers one device pixel.
EM_JS(void, JsFitCanvas, (const char* id), {
  var e = document.getElementById(UTF8ToString(id));
  if (!e) return;
  var ratio = window.devicePixelRatio || 1;
  if (e.zyntraxRatio === ratio) return;
  e.zyntraxRatio = ratio;
  e.style.width = e.width / ratio + "px";
  e.style.height = e.height / ratio + "px";
});

namespace {
struct Canvas {
  std::string elementId;
  int width = 0, height = 0, stride = 0;
  std::vector<uint8_t> pixels;  // 24-bit B G R, rows bottom-up
  std::vector<uint32_t> rgba;   // what the canvas element gets
};
std::map<int, Canvas> canvases;
int labelCount = 0;

std::string ElementId(const std::string& name, const char* kind, int number) {
  return name.empty() ? std::string(kind) + "-" + std::to_string(number) : name;
}

// Bottom-up BGR rows into the canvas's top-down RGBA picture.
void ShowCanvas(void* context) {
  Canvas* c = (Canvas*)context;
  c->rgba.resize((size_t)c->width * (size_t)c->height);
  for (int y = 0; y < c->height; y++) {
    const uint8_t* src = c->pixels.data() + (size_t)(c->height - 1 - y) * (size_t)c->stride;
    uint32_t* row = c->rgba.data() + (size_t)y * (size_t)c->width;
    for (int x = 0; x < c->width; x++)
      row[x] = 0xFF000000u | ((uint32_t)src[3 * x] << 16) | ((uint32_t)src[3 * x + 1] << 8) | src[3 * x + 2];
  }
  PutCanvasPicture(c->elementId, c->rgba.data(), c->width, c->height);
  JsFitCanvas(c->elementId.c_str());
}
}  // namespace

EM_JS(void, JsLauncherOpen, (const char* title, int width, int height), {
  var old = document.getElementById("launcher");
  if (old) old.remove();
  var win = document.createElement("div");
  win.id = "launcher";
  var bar = document.createElement("div");
  bar.id = "title";
  bar.textContent = UTF8ToString(title);
  var client = document.createElement("div");
  client.id = "launcher-client";
  client.style.width = width + "px";
  client.style.height = height + "px";
  var hint = document.createElement("div");
  hint.id = "leave-hint";
  hint.textContent = "To leave the show: Escape on a keyboard, a tap on a touch screen.";
  win.appendChild(bar);
  win.appendChild(client);
  win.appendChild(hint);
  document.body.appendChild(win);
  document.body.classList.remove("in-show");
  document.title = UTF8ToString(title);
  Module.zyntraxLauncher = {client: client, gadgets: {}, labels: {}, events: []};
});

EM_JS(void, JsLauncherClose, (), {
  var l = Module.zyntraxLauncher, kept = Module.zyntraxChoices || (Module.zyntraxChoices = {});
  if (l) {
    Object.keys(l.gadgets).forEach(function(gadget) {
      var e = l.gadgets[gadget];
      if (e.tagName == "SELECT") kept[gadget] = e.selectedIndex;
      else if (e.type == "checkbox") kept[gadget] = e.checked ? 1 : 0;
      else if (e.type == "range") kept[gadget] = Math.round(Number(e.value));
    });
  }
  var win = document.getElementById("launcher");
  if (win) win.remove();
  Module.zyntraxLauncher = null;
});

// Places the element just made (or the box around it) on the client area.
EM_JS(void, JsLauncherPlace, (int x, int y, int width, int height), {
  var l = Module.zyntraxLauncher;
  var e = l.placing;
  e.style.position = "absolute";
  e.style.left = x + "px";
  e.style.top = y + "px";
  e.style.width = width + "px";
  e.style.height = height + "px";
  l.client.appendChild(e);
});

EM_JS(void, JsAddLabel, (int handle, const char* id, const char* text), {
  var l = Module.zyntraxLauncher;
  var e = document.createElement("div");
  e.className = "label";
  e.id = UTF8ToString(id);
  e.textContent = UTF8ToString(text);
  l.labels[handle] = e;
  l.placing = e;
});

EM_JS(void, JsSetLabel, (int handle, const char* text), {
  var l = Module.zyntraxLauncher;
  if (l && l.labels[handle]) l.labels[handle].textContent = UTF8ToString(text);
});

// kind: 0 combo (items split by newlines), 1 track bar, 2 check box, 3 button.
EM_JS(void, JsAddGadget, (int gadget, int kind, const char* id, const char* text, int low, int high, int value), {
  var l = Module.zyntraxLauncher;
  var name = UTF8ToString(id);
  var words = UTF8ToString(text);
  var queue = function() { l.events.push(gadget); };
  var kept = Module.zyntraxChoices && Module.zyntraxChoices[gadget];
  var e, box;
  if (kept !== undefined && kind != 3) {
    value = kept;
    if (kind != 0) l.events.push(gadget);  // what the window shows follows the control
  }
  if (kind == 0) {
    e = document.createElement("select");
    words.split("\n").forEach(function(item) {
      var o = document.createElement("option");
      o.textContent = item;
      e.appendChild(o);
    });
    e.selectedIndex = value;
    e.addEventListener("change", queue);
  } else if (kind == 1) {
    e = document.createElement("input");
    e.type = "range";
    e.min = low;
    e.max = high;
    e.step = 1;
    e.value = value;
    e.addEventListener("input", queue);
  } else if (kind == 2) {
    box = document.createElement("label");
    box.className = "check";
    box.htmlFor = name;
    e = document.createElement("input");
    e.type = "checkbox";
    e.checked = !!value;
    e.addEventListener("change", queue);
    box.appendChild(e);
    box.appendChild(document.createTextNode(words));
  } else {
    e = document.createElement("button");
    e.type = "button";
    e.textContent = words;
    e.addEventListener("click", queue);
  }
  e.id = name;
  l.gadgets[gadget] = e;
  l.placing = box || e;
  if (kind == 0) setTimeout(function() { e.focus(); }, 0);
});

// The canvas sits centred in a box of the layout's size; FitCanvas sizes it
// so that each of its pixels covers one device pixel.
EM_JS(void, JsAddCanvas, (const char* id, int width, int height), {
  var l = Module.zyntraxLauncher;
  var box = document.createElement("div");
  box.className = "canvas-box";
  var e = document.createElement("canvas");
  e.id = UTF8ToString(id);
  e.width = width;
  e.height = height;
  box.appendChild(e);
  l.placing = box;
});


EM_JS(int, JsGadgetState, (int gadget), {
  var l = Module.zyntraxLauncher;
  var e = l && l.gadgets[gadget];
  if (!e) return 0;
  if (e.tagName == "SELECT") return e.selectedIndex;
  if (e.type == "checkbox") return e.checked ? 1 : 0;
  if (e.type == "range") return Math.round(Number(e.value));
  return 0;
});

EM_JS(int, JsNextEvent, (), {
  var l = Module.zyntraxLauncher;
  return l && l.events.length ? l.events.shift() : -1;
});

bool LauncherWindowOpen(const std::string& title, int width, int height) {
  canvases.clear();
  labelCount = 0;
  JsLauncherOpen(title.c_str(), width, height);
  return true;
}

void LauncherWindowClose() {
  canvases.clear();
  JsLauncherClose();
}

int LauncherAddLabel(int x, int y, int width, int height, const std::string& text, const std::string& name) {
  int handle = labelCount++;
  JsAddLabel(handle, ElementId(name, "label", handle).c_str(), text.c_str());
  JsLauncherPlace(x, y, width, height);
  return handle;
}

void LauncherSetLabel(int handle, const std::string& text) { JsSetLabel(handle, text.c_str()); }

void LauncherAddCombo(int id, int x, int y, int width, int height, const std::vector<std::string>& items,
                      int selected, const std::string& name) {
  std::string lines;
  for (const std::string& item : items) lines += (lines.empty() ? "" : "\n") + item;
  JsAddGadget(id, 0, ElementId(name, "gadget", id).c_str(), lines.c_str(), 0, 0, selected);
  JsLauncherPlace(x, y, width, height);
}

void LauncherAddTrackBar(int id, int x, int y, int width, int height, int low, int high, int position,
                         const std::string& name) {
  JsAddGadget(id, 1, ElementId(name, "gadget", id).c_str(), "", low, high, position);
  JsLauncherPlace(x, y, width, height);
}

void LauncherAddCheckBox(int id, int x, int y, int width, int height, const std::string& text,
                         const std::string& name) {
  JsAddGadget(id, 2, ElementId(name, "gadget", id).c_str(), text.c_str(), 0, 0, 0);
  JsLauncherPlace(x, y, width, height);
}

void LauncherAddButton(int id, int x, int y, int width, int height, const std::string& text,
                       const std::string& name) {
  JsAddGadget(id, 3, ElementId(name, "gadget", id).c_str(), text.c_str(), 0, 0, 0);
  JsLauncherPlace(x, y, width, height);
}

void LauncherAddCanvas(int id, int x, int y, int width, int height, const std::string& name) {
  Canvas& c = canvases[id];
  c.elementId = ElementId(name, "canvas", id);
  c.width = width;
  c.height = height;
  c.stride = (width * 3 + 3) & ~3;
  c.pixels.assign((size_t)c.stride * (size_t)height, 0);
  JsAddCanvas(c.elementId.c_str(), width, height);
  JsLauncherPlace(x, y, width, height);
}

int LauncherGadgetState(int id) { return JsGadgetState(id); }

int LauncherPollEvent(int* gadget) {
  int id = JsNextEvent();
  if (id < 0) return 0;
  if (gadget) *gadget = id;
  return LAUNCHER_GADGET_EVENT;
}

int LauncherBeginCanvasDrawing(int id) {
  auto it = canvases.find(id);
  if (it == canvases.end()) return 0;
  Canvas& c = it->second;
  return BeginBufferDrawing(c.pixels.data(), c.width, c.height, 3, c.stride, true, ShowCanvas, &c);
}
