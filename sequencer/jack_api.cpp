#include "jack_api.h"

#include <dlfcn.h>

namespace sequencer {

namespace {

// JACK's own messages would repeat at every retry: the link says one line itself.
void Quiet(const char*) {}

struct Loaded {
  JackApi api{};
  std::string error;
  bool ok = false;
};

template <typename F>
bool Find(void* library, const char* name, F& function, std::string& error) {
  function = reinterpret_cast<F>(dlsym(library, name));
  if (!function) error = std::string("libjack.so.0 has no ") + name;
  return function != nullptr;
}

Loaded Load() {
  Loaded loaded;
  // Never closed: JACK's threads may outlive any one client.
  void* library = dlopen("libjack.so.0", RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    const char* why = dlerror();
    loaded.error = why ? why : "libjack.so.0 cannot be loaded";
    return loaded;
  }
  JackApi& a = loaded.api;
  std::string& e = loaded.error;
  loaded.ok = Find(library, "jack_client_open", a.client_open, e) &&
              Find(library, "jack_client_close", a.client_close, e) &&
              Find(library, "jack_activate", a.activate, e) &&
              Find(library, "jack_deactivate", a.deactivate, e) &&
              Find(library, "jack_get_client_name", a.get_client_name, e) &&
              Find(library, "jack_set_process_callback", a.set_process_callback, e) &&
              Find(library, "jack_set_sample_rate_callback", a.set_sample_rate_callback, e) &&
              Find(library, "jack_on_info_shutdown", a.on_info_shutdown, e) &&
              Find(library, "jack_get_sample_rate", a.get_sample_rate, e) &&
              Find(library, "jack_transport_query", a.transport_query, e) &&
              Find(library, "jack_port_register", a.port_register, e) &&
              Find(library, "jack_port_get_buffer", a.port_get_buffer, e) &&
              Find(library, "jack_midi_get_event_count", a.midi_get_event_count, e) &&
              Find(library, "jack_midi_event_get", a.midi_event_get, e) &&
              Find(library, "jack_last_frame_time", a.last_frame_time, e) &&
              Find(library, "jack_set_error_function", a.set_error_function, e) &&
              Find(library, "jack_set_info_function", a.set_info_function, e);
  if (loaded.ok) {
    a.set_error_function(Quiet);
    a.set_info_function(Quiet);
  }
  return loaded;
}

}  // namespace

const JackApi* LoadJack(std::string* error) {
  static const Loaded loaded = Load();  // once, whichever thread asks first
  if (!loaded.ok && error) *error = loaded.error;
  return loaded.ok ? &loaded.api : nullptr;
}

}  // namespace sequencer
