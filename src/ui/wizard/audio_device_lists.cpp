#include "ui/wizard/audio_device_lists.h"

#include "telephony/call_manager.h"
#include "ui/wizard/wizard_rules.h"

namespace {

using CountFunction = SIPX_RESULT (*)(SIPX_INST, size_t*);
using NameFunction = SIPX_RESULT (*)(SIPX_INST, int, const char**);

std::vector<std::string> device_names(CountFunction count_devices, NameFunction device_name)
{
    std::vector<std::string> names;
    const SIPX_INST inst = CallManager::instance().stack_handle();
    if (!inst)
        return names;
    size_t count = 0;
    if (count_devices(inst, &count) != SIPX_RESULT_SUCCESS)
        return names;
    for (size_t index = 0; index < count; ++index) {
        const char* name = nullptr;
        if (device_name(inst, static_cast<int>(index), &name) == SIPX_RESULT_SUCCESS && name)
            names.emplace_back(name);
    }
    return names;
}

} // namespace

std::vector<std::string> input_device_names()
{
    return device_names(sipxAudioGetNumInputDevices, sipxAudioGetInputDevice);
}

std::vector<std::string> output_device_names()
{
    return device_names(sipxAudioGetNumOutputDevices, sipxAudioGetOutputDevice);
}

void fill_device_list(Gtk::ComboBoxText& list, const std::vector<std::string>& names, int stored_index)
{
    list.remove_all();
    for (const std::string& name : names)
        list.append(name);
    if (!names.empty())
        list.set_active(wizard_rules::device_selection(stored_index, names.size()));
}

void fill_device_lists(Gtk::ComboBoxText& microphone, Gtk::ComboBoxText& speaker, Gtk::ComboBoxText& ring,
    const AppSettings& settings)
{
    const std::vector<std::string> outputs = output_device_names();
    fill_device_list(microphone, input_device_names(), settings.input_device);
    fill_device_list(speaker, outputs, settings.output_device);
    fill_device_list(ring, outputs, settings.ring_device);
}

int selected_device(const Gtk::ComboBoxText& list, int unchanged)
{
    const int active = list.get_active_row_number();
    return active < 0 ? unchanged : active;
}
