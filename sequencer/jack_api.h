// The few JACK functions the link uses, looked up in libjack.so.0 when a JACK
// source is first chosen: the programs neither link nor load JACK until then,
// and start and run where it is not installed. Only JACK's headers are needed
// to build. The client takes the table as given, so tests pass a fake one.
#pragma once

#include <jack/jack.h>
#include <jack/midiport.h>
#include <jack/transport.h>

#include <string>

namespace sequencer {

struct JackApi {
  decltype(&::jack_client_open) client_open;
  decltype(&::jack_client_close) client_close;
  decltype(&::jack_activate) activate;
  decltype(&::jack_deactivate) deactivate;
  decltype(&::jack_get_client_name) get_client_name;
  decltype(&::jack_set_process_callback) set_process_callback;
  decltype(&::jack_set_sample_rate_callback) set_sample_rate_callback;
  decltype(&::jack_on_info_shutdown) on_info_shutdown;
  decltype(&::jack_get_sample_rate) get_sample_rate;
  decltype(&::jack_transport_query) transport_query;
  decltype(&::jack_port_register) port_register;
  decltype(&::jack_port_get_buffer) port_get_buffer;
  decltype(&::jack_midi_get_event_count) midi_get_event_count;
  decltype(&::jack_midi_event_get) midi_event_get;
  decltype(&::jack_last_frame_time) last_frame_time;
  decltype(&::jack_set_error_function) set_error_function;
  decltype(&::jack_set_info_function) set_info_function;
};

// The table, loaded once and kept for the life of the process (a client
// thread may still run inside the library); nullptr when the library or one
// of its functions is missing, with the reason in `error`.
const JackApi* LoadJack(std::string* error);

}  // namespace sequencer
