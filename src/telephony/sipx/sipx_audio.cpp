// Audio devices, microphone mute and codecs.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <linphone/api/c-audio-device.h>

#include "telephony/sipx/sipx_state.h"

namespace {

// Device identifiers of the core that can record (capture) or play.
std::vector<std::string> device_ids(LinphoneCore* core, LinphoneAudioDeviceCapabilities capability)
{
    std::vector<std::string> ids;
    bctbx_list_t* devices = linphone_core_get_extended_audio_devices(core);
    for (bctbx_list_t* it = devices; it; it = bctbx_list_next(it)) {
        auto* device = static_cast<LinphoneAudioDevice*>(bctbx_list_get_data(it));
        const char* id = linphone_audio_device_get_id(device);
        if (id && linphone_audio_device_has_capability(device, capability))
            ids.emplace_back(id);
    }
    bctbx_list_free_with_data(devices, (bctbx_list_free_func)linphone_audio_device_unref);
    return ids;
}

SIPX_RESULT count_devices(
    const char* function, SIPX_INST hInst, size_t* count, LinphoneAudioDeviceCapabilities capability)
{
    if (!count)
        return sipx_refuse(function, "no count to fill");
    *count = 0;
    return sipx_with_instance(
        function, hInst,
        [&](SipxInstance* inst) {
            auto& list = capability == LinphoneAudioDeviceCapabilityRecord ? inst->input_devices
                                                                           : inst->output_devices;
            list = device_ids(inst->core, capability);
            *count = list.size();
            return SIPX_RESULT_SUCCESS;
        },
        SipxWork::Query);
}

SIPX_RESULT device_name(const char* function, SIPX_INST hInst, int index, const char** name,
    LinphoneAudioDeviceCapabilities capability)
{
    if (!name)
        return sipx_refuse(function, "no name to fill");
    *name = nullptr;
    return sipx_with_instance(
        function, hInst,
        [&](SipxInstance* inst) {
            auto& list = capability == LinphoneAudioDeviceCapabilityRecord ? inst->input_devices
                                                                           : inst->output_devices;
            if (list.empty())
                list = device_ids(inst->core, capability);
            if (index < 0 || static_cast<size_t>(index) >= list.size())
                return sipx_refuse(function, "no device " + std::to_string(index));
            *name = list[static_cast<size_t>(index)].c_str();
            return SIPX_RESULT_SUCCESS;
        },
        SipxWork::Query);
}

// Sets a device by identifier; one the core does not know is refused.
SIPX_RESULT choose_device(const char* function, SIPX_INST hInst, const char* name,
    LinphoneAudioDeviceCapabilities capability, LinphoneStatus (*set)(LinphoneCore*, const char*),
    std::string SipxInstance::*remember)
{
    if (!name || !*name)
        return sipx_refuse(function, "no device name");
    return sipx_with_instance(function, hInst, [&](SipxInstance* inst) {
        auto ids = device_ids(inst->core, capability);
        if (std::find(ids.begin(), ids.end(), name) == ids.end())
            return sipx_refuse(function, std::string("no such device: ") + name);
        if (set && set(inst->core, name) != 0)
            return sipx_refuse(function, std::string("the core refused ") + name, SIPX_RESULT_FAILURE);
        if (remember)
            inst->*remember = name;
        return SIPX_RESULT_SUCCESS;
    });
}

std::string upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// Codecs kept beside the preferred one, so peers without it still have audio.
bool is_fallback_codec(const std::string& name)
{
    return name == "OPUS" || name == "G722" || name == "PCMU" || name == "PCMA";
}

using PayloadList = std::vector<LinphonePayloadType*>;

PayloadList audio_payloads(LinphoneCore* core)
{
    PayloadList payloads;
    bctbx_list_t* list = linphone_core_get_audio_payload_types(core);
    for (bctbx_list_t* it = list; it; it = bctbx_list_next(it))
        payloads.push_back(
            linphone_payload_type_ref(static_cast<LinphonePayloadType*>(bctbx_list_get_data(it))));
    bctbx_list_free(list); // the elements are not ours; the refs above are
    return payloads;
}

void release(PayloadList& payloads)
{
    for (auto* payload : payloads)
        linphone_payload_type_unref(payload);
}

std::string codec_name(const LinphonePayloadType* payload)
{
    const char* mime = linphone_payload_type_get_mime_type(payload);
    return upper(mime ? mime : "");
}

} // namespace

SIPX_RESULT sipxAudioGetNumInputDevices(SIPX_INST hInst, size_t* numDevices)
{
    return count_devices(
        "sipxAudioGetNumInputDevices", hInst, numDevices, LinphoneAudioDeviceCapabilityRecord);
}
SIPX_RESULT sipxAudioGetInputDevice(SIPX_INST hInst, int index, const char** pszDevice)
{
    return device_name(
        "sipxAudioGetInputDevice", hInst, index, pszDevice, LinphoneAudioDeviceCapabilityRecord);
}
SIPX_RESULT sipxAudioGetNumOutputDevices(SIPX_INST hInst, size_t* numDevices)
{
    return count_devices(
        "sipxAudioGetNumOutputDevices", hInst, numDevices, LinphoneAudioDeviceCapabilityPlay);
}
SIPX_RESULT sipxAudioGetOutputDevice(SIPX_INST hInst, int index, const char** pszDevice)
{
    return device_name(
        "sipxAudioGetOutputDevice", hInst, index, pszDevice, LinphoneAudioDeviceCapabilityPlay);
}
SIPX_RESULT sipxAudioSetCallInputDevice(SIPX_INST hInst, const char* szDevice)
{
    return choose_device("sipxAudioSetCallInputDevice", hInst, szDevice, LinphoneAudioDeviceCapabilityRecord,
        linphone_core_set_capture_device, nullptr);
}
SIPX_RESULT sipxAudioSetCallOutputDevice(SIPX_INST hInst, const char* szDevice)
{
    return choose_device("sipxAudioSetCallOutputDevice", hInst, szDevice, LinphoneAudioDeviceCapabilityPlay,
        linphone_core_set_playback_device, nullptr);
}
SIPX_RESULT sipxAudioSetRingerOutputDevice(SIPX_INST hInst, const char* szDevice)
{
    return choose_device("sipxAudioSetRingerOutputDevice", hInst, szDevice, LinphoneAudioDeviceCapabilityPlay,
        linphone_core_set_ringer_device, &SipxInstance::ringer_device);
}

SIPX_RESULT sipxAudioMute(SIPX_INST hInst, bool bMute)
{
    return sipx_with_instance("sipxAudioMute", hInst, [&](SipxInstance* inst) {
        // The core's switch covers later calls, the per-call one the running calls.
        linphone_core_enable_mic(inst->core, !bMute);
        for (const bctbx_list_t* it = linphone_core_get_calls(inst->core); it; it = bctbx_list_next(it))
            linphone_call_set_microphone_muted(static_cast<LinphoneCall*>(bctbx_list_get_data(it)), bMute);
        return SIPX_RESULT_SUCCESS;
    });
}

SIPX_RESULT sipxConfigSetAudioCodecByName(SIPX_INST hInst, const char* szCodecName)
{
    if (!szCodecName || !*szCodecName)
        return sipx_refuse("sipxConfigSetAudioCodecByName", "no codec name");
    std::string wanted = upper(szCodecName);
    return sipx_with_instance("sipxConfigSetAudioCodecByName", hInst, [&](SipxInstance* inst) {
        PayloadList payloads = audio_payloads(inst->core);
        auto preferred = [&](LinphonePayloadType* p) { return codec_name(p) == wanted; };
        if (std::none_of(payloads.begin(), payloads.end(), preferred)) {
            release(payloads);
            return sipx_refuse("sipxConfigSetAudioCodecByName", "no codec " + wanted, SIPX_RESULT_FAILURE);
        }
        std::stable_partition(payloads.begin(), payloads.end(), preferred);
        bctbx_list_t* order = nullptr;
        for (auto* payload : payloads) {
            std::string name = codec_name(payload);
            linphone_payload_type_enable(payload, name == wanted || is_fallback_codec(name));
            order = bctbx_list_append(order, payload);
        }
        linphone_core_set_audio_payload_types(inst->core, order);
        bctbx_list_free(order);
        release(payloads);
        return SIPX_RESULT_SUCCESS;
    });
}

SIPX_RESULT sipxConfigGetNumAudioCodecs(SIPX_INST hInst, int* pNumCodecs)
{
    if (!pNumCodecs)
        return sipx_refuse("sipxConfigGetNumAudioCodecs", "no count to fill");
    *pNumCodecs = 0;
    return sipx_with_instance(
        "sipxConfigGetNumAudioCodecs", hInst,
        [&](SipxInstance* inst) {
            PayloadList payloads = audio_payloads(inst->core);
            *pNumCodecs = static_cast<int>(
                std::count_if(payloads.begin(), payloads.end(), linphone_payload_type_enabled));
            release(payloads);
            return SIPX_RESULT_SUCCESS;
        },
        SipxWork::Query);
}

SIPX_RESULT sipxConfigGetAudioCodec(SIPX_INST hInst, int index, SIPX_AUDIO_CODEC* pCodec)
{
    if (!pCodec)
        return sipx_refuse("sipxConfigGetAudioCodec", "no codec record to fill");
    std::memset(pCodec, 0, sizeof *pCodec);
    return sipx_with_instance(
        "sipxConfigGetAudioCodec", hInst,
        [&](SipxInstance* inst) {
            PayloadList payloads = audio_payloads(inst->core);
            PayloadList enabled;
            std::copy_if(
                payloads.begin(), payloads.end(), std::back_inserter(enabled), linphone_payload_type_enabled);
            SIPX_RESULT result = SIPX_RESULT_SUCCESS;
            if (index < 0 || static_cast<size_t>(index) >= enabled.size()) {
                result = sipx_refuse("sipxConfigGetAudioCodec", "no codec " + std::to_string(index));
            } else {
                LinphonePayloadType* payload = enabled[static_cast<size_t>(index)];
                std::string name = codec_name(payload);
                std::strncpy(pCodec->cName, name.c_str(), sizeof pCodec->cName - 1);
                int rate = linphone_payload_type_get_clock_rate(payload);
                pCodec->iBandWidth = linphone_payload_type_is_vbr(payload) ? AUDIO_CODEC_BW_VARIABLE
                    : rate > 8000                                          ? AUDIO_CODEC_BW_HIGH
                                                                           : AUDIO_CODEC_BW_NORMAL;
                pCodec->iPayloadType = linphone_payload_type_get_number(payload);
            }
            release(payloads);
            return result;
        },
        SipxWork::Query);
}
