// Linked into test_callmanager in place of the real SIP layer.
#include "fake_sipx.h"

#include <algorithm>
#include <cstring>
#include <sstream>
#include <utility>

namespace fake_sipx {

State& state()
{
    static State current;
    return current;
}

void reset()
{
    state() = State{};
}

std::vector<std::string> calls_starting(const std::string& prefix)
{
    std::vector<std::string> found;
    for (const std::string& call : state().calls) {
        if (call.rfind(prefix, 0) == 0)
            found.push_back(call);
    }
    return found;
}

int position_of(const std::string& prefix)
{
    const auto& calls = state().calls;
    for (std::size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].rfind(prefix, 0) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

SIPX_CONTACT_ADDRESS contact(const std::string& address, SIPX_CONTACT_TYPE type)
{
    SIPX_CONTACT_ADDRESS entry{};
    entry.eContactType = type;
    std::strncpy(entry.cIpAddress, address.c_str(), sizeof entry.cIpAddress - 1);
    return entry;
}

} // namespace fake_sipx

namespace {

using fake_sipx::state;

std::string text(const char* value)
{
    return value ? value : "(null)";
}

std::string text(bool value)
{
    return value ? "true" : "false";
}

template <typename T> std::string text(const T& value)
{
    std::ostringstream out;
    out << value;
    return out.str();
}

// Records "name arg1 arg2 ...".
template <typename... Args> void record(const char* name, const Args&... args)
{
    std::string line = name;
    ((line += " " + text(args)), ...);
    state().calls.push_back(line);
}

std::string instance_text(SIPX_INST instance)
{
    return instance ? "inst" : "null";
}

SIPX_RESULT device(const std::vector<std::string>& names, int index, const char** name)
{
    if (index < 0 || static_cast<std::size_t>(index) >= names.size())
        return SIPX_RESULT_INVALID_ARGS;
    *name = names[index].c_str();
    return SIPX_RESULT_SUCCESS;
}

} // namespace

SIPX_RESULT sipxInitialize(SIPX_INST* phInst, int udpPort, int tcpPort, int tlsPort, int rtpPortStart,
    int maxConnections, const char* szIdentity, const char* szBindToAddr, bool bUseSequentialPorts,
    const char* szTLSCertificateNickname, const char* szTLSCertificatePassword, const char* szDbLocation)
{
    record("sipxInitialize", udpPort, tcpPort, tlsPort, rtpPortStart, maxConnections,
        "[" + text(szIdentity) + "]", text(szBindToAddr), bUseSequentialPorts, text(szTLSCertificateNickname),
        text(szTLSCertificatePassword), text(szDbLocation));
    if (state().initialize_result != SIPX_RESULT_SUCCESS)
        return state().initialize_result;
    *phInst = &state();
    ++state().instances_started;
    return SIPX_RESULT_SUCCESS;
}

SIPX_RESULT sipxUnInitialize(SIPX_INST hInst, bool bForceShutdown)
{
    record("sipxUnInitialize", instance_text(hInst), bForceShutdown);
    return SIPX_RESULT_SUCCESS;
}

SIPX_RESULT sipxConfigSetLogLevel(SIPX_LOG_LEVEL logLevel)
{
    record("sipxConfigSetLogLevel", static_cast<int>(logLevel));
    return SIPX_RESULT_SUCCESS;
}

SIPX_RESULT sipxAudioSetAECMode(SIPX_INST hInst, SIPX_AEC_MODE mode)
{
    record("sipxAudioSetAECMode", instance_text(hInst), static_cast<int>(mode));
    return SIPX_RESULT_SUCCESS;
}

SIPX_RESULT sipxAudioSetAGCMode(SIPX_INST hInst, bool bEnable)
{
    record("sipxAudioSetAGCMode", instance_text(hInst), bEnable);
    return SIPX_RESULT_SUCCESS;
}

SIPX_RESULT sipxAudioSetNoiseReductionMode(SIPX_INST hInst, SIPX_NOISE_REDUCTION_MODE mode)
{
    record("sipxAudioSetNoiseReductionMode", instance_text(hInst), static_cast<int>(mode));
    return SIPX_RESULT_SUCCESS;
}

SIPX_RESULT sipxConfigEnableStun(SIPX_INST hInst, const char* szServer, int iServerPort, int iKeepAliveInSecs)
{
    record("sipxConfigEnableStun", instance_text(hInst), text(szServer), iServerPort, iKeepAliveInSecs);
    return SIPX_RESULT_SUCCESS;
}

SIPX_RESULT sipxConfigDisableStun(SIPX_INST hInst)
{
    record("sipxConfigDisableStun", instance_text(hInst));
    return SIPX_RESULT_SUCCESS;
}

SIPX_RESULT sipxConfigSetAudioCodecByName(SIPX_INST hInst, const char* szCodecName)
{
    record("sipxConfigSetAudioCodecByName", instance_text(hInst), text(szCodecName));
    return SIPX_RESULT_SUCCESS;
}

SIPX_RESULT sipxConfigGetNumAudioCodecs(SIPX_INST hInst, int* pNumCodecs)
{
    record("sipxConfigGetNumAudioCodecs", instance_text(hInst));
    *pNumCodecs = static_cast<int>(state().codecs.size());
    return SIPX_RESULT_SUCCESS;
}

SIPX_RESULT sipxConfigGetAudioCodec(SIPX_INST hInst, int index, SIPX_AUDIO_CODEC* pCodec)
{
    record("sipxConfigGetAudioCodec", instance_text(hInst), index);
    if (index < 0 || static_cast<std::size_t>(index) >= state().codecs.size())
        return SIPX_RESULT_INVALID_ARGS;
    // Names as long as the field arrive without a terminating zero.
    std::memcpy(pCodec->cName, state().codecs[index].c_str(),
        std::min(state().codecs[index].size() + 1, sizeof pCodec->cName));
    return SIPX_RESULT_SUCCESS;
}

SIPX_RESULT sipxConfigSetRegisterResponseWaitSeconds(SIPX_INST hInst, int seconds)
{
    record("sipxConfigSetRegisterResponseWaitSeconds", instance_text(hInst), seconds);
    return SIPX_RESULT_SUCCESS;
}

SIPX_RESULT sipxConfigSetUserAgentName(SIPX_INST hInst, const char* szName, bool bIncludePlatformName)
{
    record("sipxConfigSetUserAgentName", instance_text(hInst), text(szName), bIncludePlatformName);
    return SIPX_RESULT_SUCCESS;
}

SIPX_RESULT sipxConfigEnableRport(SIPX_INST hInst, bool bEnable)
{
    record("sipxConfigEnableRport", instance_text(hInst), bEnable);
    return SIPX_RESULT_SUCCESS;
}

SIPX_RESULT sipxConfigEnableDnsSrv(bool bEnable)
{
    record("sipxConfigEnableDnsSrv", bEnable);
    return SIPX_RESULT_SUCCESS;
}

SIPX_RESULT sipxConfigSetOutboundProxy(SIPX_INST hInst, const char* szProxy)
{
    record("sipxConfigSetOutboundProxy", instance_text(hInst), "[" + text(szProxy) + "]");
    return SIPX_RESULT_SUCCESS;
}

SIPX_RESULT sipxEventListenerAdd(SIPX_INST hInst, SIPX_EVENT_CALLBACK_PROC pCallbackProc, void* pUserData)
{
    record("sipxEventListenerAdd", instance_text(hInst));
    state().callback = pCallbackProc;
    state().user_data = pUserData;
    return SIPX_RESULT_SUCCESS;
}

SIPX_RESULT sipxConfigGetLocalContacts(
    SIPX_INST hInst, SIPX_CONTACT_ADDRESS addresses[], size_t nMaxAddresses, size_t* pnActualAddresses)
{
    record("sipxConfigGetLocalContacts", instance_text(hInst), nMaxAddresses);
    std::size_t count = std::min(nMaxAddresses, state().contacts.size());
    std::copy_n(state().contacts.begin(), count, addresses);
    *pnActualAddresses = count;
    return SIPX_RESULT_SUCCESS;
}

SIPX_RESULT sipxConfigSetRegisterExpiration(SIPX_INST hInst, int seconds)
{
    record("sipxConfigSetRegisterExpiration", instance_text(hInst), seconds);
    return SIPX_RESULT_SUCCESS;
}

SIPX_RESULT sipxLineAdd(SIPX_INST hInst, const char* szLineURL, SIPX_LINE* phLine, SIPX_CONTACT_ID contactId)
{
    record("sipxLineAdd", instance_text(hInst), text(szLineURL), contactId);
    if (state().line_add_result != SIPX_RESULT_SUCCESS) {
        *phLine = SIPX_LINE_NULL;
        return state().line_add_result;
    }
    *phLine = state().next_line++;
    return SIPX_RESULT_SUCCESS;
}

SIPX_RESULT sipxLineRemove(SIPX_LINE hLine)
{
    record("sipxLineRemove", hLine);
    return hLine == SIPX_LINE_NULL ? SIPX_RESULT_INVALID_ARGS : SIPX_RESULT_SUCCESS;
}

SIPX_RESULT sipxLineAddCredential(
    SIPX_LINE hLine, const char* szUserID, const char* szPasswd, const char* szRealm)
{
    record("sipxLineAddCredential", hLine, text(szUserID), "[" + text(szPasswd) + "]", text(szRealm));
    return SIPX_RESULT_SUCCESS;
}

SIPX_RESULT sipxLineRegister(SIPX_LINE hLine, bool bRegister)
{
    record("sipxLineRegister", hLine, bRegister);
    if (auto meanwhile = std::exchange(state().during_register, nullptr))
        meanwhile();
    return SIPX_RESULT_SUCCESS;
}

SIPX_RESULT sipxAudioGetNumInputDevices(SIPX_INST hInst, size_t* numDevices)
{
    record("sipxAudioGetNumInputDevices", instance_text(hInst));
    *numDevices = state().input_devices.size();
    return SIPX_RESULT_SUCCESS;
}

SIPX_RESULT sipxAudioGetInputDevice(SIPX_INST hInst, int index, const char** pszDevice)
{
    record("sipxAudioGetInputDevice", instance_text(hInst), index);
    return device(state().input_devices, index, pszDevice);
}

SIPX_RESULT sipxAudioGetNumOutputDevices(SIPX_INST hInst, size_t* numDevices)
{
    record("sipxAudioGetNumOutputDevices", instance_text(hInst));
    *numDevices = state().output_devices.size();
    return SIPX_RESULT_SUCCESS;
}

SIPX_RESULT sipxAudioGetOutputDevice(SIPX_INST hInst, int index, const char** pszDevice)
{
    record("sipxAudioGetOutputDevice", instance_text(hInst), index);
    return device(state().output_devices, index, pszDevice);
}

SIPX_RESULT sipxAudioSetCallInputDevice(SIPX_INST hInst, const char* szDevice)
{
    record("sipxAudioSetCallInputDevice", instance_text(hInst), text(szDevice));
    return SIPX_RESULT_SUCCESS;
}

SIPX_RESULT sipxAudioSetCallOutputDevice(SIPX_INST hInst, const char* szDevice)
{
    record("sipxAudioSetCallOutputDevice", instance_text(hInst), text(szDevice));
    return SIPX_RESULT_SUCCESS;
}

SIPX_RESULT sipxAudioSetRingerOutputDevice(SIPX_INST hInst, const char* szDevice)
{
    record("sipxAudioSetRingerOutputDevice", instance_text(hInst), text(szDevice));
    return SIPX_RESULT_SUCCESS;
}

SIPX_RESULT sipxAudioMute(SIPX_INST hInst, bool bMute)
{
    record("sipxAudioMute", instance_text(hInst), bMute);
    return state().mute_result;
}

SIPX_RESULT sipxCallCreate(SIPX_INST hInst, SIPX_LINE hLine, SIPX_CALL* phCall)
{
    record("sipxCallCreate", instance_text(hInst), hLine);
    *phCall = state().next_call;
    return SIPX_RESULT_SUCCESS;
}

SIPX_RESULT sipxCallConnect(SIPX_CALL hCall, const char* szAddress, SIPX_CONTACT_ID contactId,
    SIPX_VIDEO_DISPLAY* pDisplay, SIPX_SECURITY_ATTRIBUTES* pSecurity, bool bTakeFocus,
    SIPX_CALL_OPTIONS* options, const char* szCallId)
{
    record("sipxCallConnect", hCall, text(szAddress), contactId, pDisplay == nullptr, pSecurity == nullptr,
        bTakeFocus, options == nullptr, text(szCallId));
    return state().connect_result;
}

SIPX_RESULT sipxCallAccept(SIPX_CALL hCall, SIPX_VIDEO_DISPLAY* pDisplay, SIPX_SECURITY_ATTRIBUTES* pSecurity,
    SIPX_CALL_OPTIONS* options, bool bSendEarlyMedia)
{
    record("sipxCallAccept", hCall, pDisplay == nullptr, pSecurity == nullptr, options == nullptr,
        bSendEarlyMedia);
    return SIPX_RESULT_SUCCESS;
}

SIPX_RESULT sipxCallAnswer(SIPX_CALL hCall, bool bTakeFocus)
{
    record("sipxCallAnswer", hCall, bTakeFocus);
    return SIPX_RESULT_SUCCESS;
}

SIPX_RESULT sipxCallReject(SIPX_CALL hCall, int errorCode, const char* szErrorText)
{
    record("sipxCallReject", hCall, errorCode, text(szErrorText));
    return SIPX_RESULT_SUCCESS;
}

SIPX_RESULT sipxCallDestroy(SIPX_CALL* phCall)
{
    record("sipxCallDestroy", *phCall);
    if (auto meanwhile = std::exchange(state().during_destroy, nullptr))
        meanwhile();
    if (state().destroy_result == SIPX_RESULT_SUCCESS)
        *phCall = SIPX_CALL_NULL;
    return state().destroy_result;
}

SIPX_RESULT sipxCallHold(SIPX_CALL hCall, bool bStopRemoteAudio)
{
    record("sipxCallHold", hCall, bStopRemoteAudio);
    return SIPX_RESULT_SUCCESS;
}

SIPX_RESULT sipxCallUnhold(SIPX_CALL hCall)
{
    record("sipxCallUnhold", hCall);
    return SIPX_RESULT_SUCCESS;
}

SIPX_RESULT sipxCallGetRemoteID(SIPX_CALL hCall, char* szId, size_t iMaxLength)
{
    record("sipxCallGetRemoteID", hCall, iMaxLength);
    // Like a careless layer: fills the whole buffer without a terminating zero when the
    // identity is too long, so the caller's own guard is what keeps the text inside.
    std::memcpy(szId, state().remote_id.c_str(), std::min(state().remote_id.size() + 1, iMaxLength));
    return state().remote_id.size() < iMaxLength ? SIPX_RESULT_SUCCESS : SIPX_RESULT_INSUFFICIENT_BUFFER;
}

SIPX_RESULT sipxCallStartTone(SIPX_CALL hCall, SIPX_TONE_ID toneId, bool bLocal, bool bRemote)
{
    record("sipxCallStartTone", hCall, static_cast<int>(toneId), bLocal, bRemote);
    return SIPX_RESULT_SUCCESS;
}

SIPX_RESULT sipxCallStopTone(SIPX_CALL hCall)
{
    record("sipxCallStopTone", hCall);
    return SIPX_RESULT_SUCCESS;
}

SIPX_RESULT sipxCallAudioPlayFileStart(SIPX_CALL hCall, const char* szFile, bool bRepeat, bool bLocal,
    bool bRemote, bool bMixWithMicrophone, float fVolumeScaling)
{
    record("sipxCallAudioPlayFileStart", hCall, text(szFile), bRepeat, bLocal, bRemote, bMixWithMicrophone,
        fVolumeScaling);
    return SIPX_RESULT_SUCCESS;
}

SIPX_RESULT sipxCallAudioPlayFileStop(SIPX_CALL hCall)
{
    record("sipxCallAudioPlayFileStop", hCall);
    return SIPX_RESULT_SUCCESS;
}

SIPX_RESULT sipxCallGetAudioLevels(SIPX_CALL hCall, int* piInputLevel, int* piOutputLevel)
{
    record("sipxCallGetAudioLevels", hCall);
    if (state().levels_result != SIPX_RESULT_SUCCESS)
        return state().levels_result;
    *piInputLevel = state().input_level;
    *piOutputLevel = state().output_level;
    return SIPX_RESULT_SUCCESS;
}

const char* sipxEventToString(SIPX_EVENT_CATEGORY category, const void*, char* szBuffer, size_t nBuffer)
{
    record("sipxEventToString", static_cast<int>(category), nBuffer);
    std::string event = state().event_text.empty() ? "EVENT " + std::to_string(category) : state().event_text;
    // Fills the buffer to its end without a terminating zero when the text is longer.
    std::memcpy(szBuffer, event.c_str(), std::min(event.size() + 1, nBuffer));
    return szBuffer;
}

SIPX_RESULT sipxConfigSubscribe(SIPX_INST hInst, SIPX_LINE hLine, const char* szTargetUrl,
    const char* szEventType, const char* szAcceptType, SIPX_CONTACT_ID contactId, SIPX_SUB* phSub)
{
    record("sipxConfigSubscribe", instance_text(hInst), hLine, text(szTargetUrl), text(szEventType),
        text(szAcceptType), contactId);
    *phSub = state().next_sub++;
    return SIPX_RESULT_SUCCESS;
}

SIPX_RESULT sipxConfigUnsubscribe(SIPX_SUB hSub)
{
    record("sipxConfigUnsubscribe", hSub);
    return SIPX_RESULT_SUCCESS;
}

SIPX_RESULT sipxConfigKeepAliveAdd(SIPX_INST hInst, SIPX_CONTACT_ID contactId, SIPX_KEEPALIVE_TYPE type,
    const char* szRemoteIp, int iRemotePort, int iKeepAliveSecs)
{
    record("sipxConfigKeepAliveAdd", instance_text(hInst), contactId, static_cast<int>(type),
        text(szRemoteIp), iRemotePort, iKeepAliveSecs);
    return SIPX_RESULT_SUCCESS;
}

SIPX_RESULT sipxConfigKeepAliveRemove(SIPX_INST hInst, SIPX_CONTACT_ID contactId, SIPX_KEEPALIVE_TYPE type,
    const char* szRemoteIp, int iRemotePort)
{
    record("sipxConfigKeepAliveRemove", instance_text(hInst), contactId, static_cast<int>(type),
        text(szRemoteIp), iRemotePort);
    return SIPX_RESULT_SUCCESS;
}
