#pragma once
// Kalvo's SIP user-agent interface: stack, lines, calls, tones, file playback, audio
// devices, subscriptions and one event callback, as plain functions over handles.
//
// The real implementation (src/telephony/sipx/*.cpp, library kalvo_sipx) runs one engine
// thread that owns the SIP core. Every function below runs on that thread: a caller on
// another thread waits for the result, a caller on the engine thread (the event callback
// and whatever it calls) runs inline. Events reach the registered callback on the engine
// thread. A handle that is unknown or already destroyed gives SIPX_RESULT_INVALID_ARGS
// (or FAILURE), never a crash.
//
// Test fakes define the same functions; a program links exactly one of the two.
// This header includes nothing of the SIP library.

#include <cstddef>

// ---- Handles -------------------------------------------------------------------------

typedef void* SIPX_INST; // stack instance; null when there is none
typedef unsigned int SIPX_LINE; // 0: no line
typedef unsigned int SIPX_CALL; // 0: no call
typedef unsigned int SIPX_SUB; // 0: no subscription
typedef int SIPX_CONTACT_ID; // index into the local contacts; 0 lets the stack choose

#define SIPX_LINE_NULL 0u
#define SIPX_CALL_NULL 0u
#define SIPX_SUB_NULL 0u

// Port arguments of sipxInitialize.
#define SIPX_PORT_DISABLE (-1) // transport off
#define SIPX_PORT_AUTO (-2) // the stack chooses a free port

// Buffer sizes of the records below.
#define SIPXTAPI_CODEC_NAMELEN 32
#define SIPX_CONTACT_ADDRESS_LEN 32
#define SIPX_MAX_DEVICE_NAME 256

// Environment variables of the file audio mode (tests, headless machines): when
// KALVO_SIPX_PLAY_FILE names a WAV file, calls send it as the microphone; the far end's
// audio goes to KALVO_SIPX_RECORD_FILE (a WAV file) when that is set. No sound card is
// opened in that mode.
#define SIPX_ENV_PLAY_FILE "KALVO_SIPX_PLAY_FILE"
#define SIPX_ENV_RECORD_FILE "KALVO_SIPX_RECORD_FILE"
// In the file audio mode a file played locally (the ring) is written to this WAV file.
#define SIPX_ENV_RING_RECORD_FILE "KALVO_SIPX_RING_RECORD_FILE"
// The address SIP and RTP bind to when sipxInitialize is given none (tests bind to
// their own loopback address this way); unset: every interface.
#define SIPX_ENV_BIND_ADDRESS "KALVO_SIPX_BIND_ADDRESS"
// The SIP core's own log level for diagnosis (0 debug ... 8 none), on standard error.
#define SIPX_ENV_LOG_LEVEL "KALVO_SIPX_LOG_LEVEL"

// ---- Results -------------------------------------------------------------------------

typedef enum SIPX_RESULT {
    SIPX_RESULT_SUCCESS = 0,
    SIPX_RESULT_FAILURE = 1,
    SIPX_RESULT_NOT_IMPLEMENTED = 2,
    SIPX_RESULT_OUT_OF_MEMORY = 3,
    SIPX_RESULT_INVALID_ARGS = 4, // null or unknown handle, bad argument
    SIPX_RESULT_BAD_ADDRESS = 5,
    SIPX_RESULT_OUT_OF_RESOURCES = 6,
    SIPX_RESULT_INSUFFICIENT_BUFFER = 7, // output was cut to the buffer
    SIPX_RESULT_EVAL_TIMEOUT = 8,
    SIPX_RESULT_BUSY = 9,
    SIPX_RESULT_INVALID_STATE = 10, // the call or line is not in a state that allows it
    SIPX_RESULT_MISSING_RUNTIME_FILES = 11,
} SIPX_RESULT;

// ---- Enumerations --------------------------------------------------------------------

typedef enum SIPX_EVENT_CATEGORY {
    EVENT_CATEGORY_CALLSTATE = 0,
    EVENT_CATEGORY_LINESTATE = 1,
    EVENT_CATEGORY_INFO_STATUS = 2,
    EVENT_CATEGORY_INFO = 3,
    EVENT_CATEGORY_SUB_STATUS = 4,
    EVENT_CATEGORY_NOTIFY = 5,
    EVENT_CATEGORY_CONFIG = 6,
    EVENT_CATEGORY_SECURITY = 7,
    EVENT_CATEGORY_MEDIA = 8,
    EVENT_CATEGORY_KEEPALIVE = 9,
} SIPX_EVENT_CATEGORY;

typedef enum SIPX_CALLSTATE_EVENT {
    CALLSTATE_UNKNOWN = 0,
    CALLSTATE_NEWCALL = 1000,
    CALLSTATE_DIALTONE = 2000,
    CALLSTATE_REMOTE_OFFERING = 2500, // our INVITE is on its way
    CALLSTATE_REMOTE_ALERTING = 3000, // the far end rings (180/183)
    CALLSTATE_CONNECTED = 4000,
    CALLSTATE_BRIDGED = 5000,
    CALLSTATE_HELD = 6000,
    CALLSTATE_REMOTE_HELD = 7000,
    CALLSTATE_DISCONNECTED = 8000,
    CALLSTATE_OFFERING = 9000, // a new incoming call waits for accept or reject
    CALLSTATE_ALERTING = 10000, // the accepted incoming call rings here
    CALLSTATE_DESTROYED = 11000,
    CALLSTATE_TRANSFER_EVENT = 12000,
} SIPX_CALLSTATE_EVENT;

typedef enum SIPX_CALLSTATE_CAUSE {
    CALLSTATE_CAUSE_UNKNOWN = 0,
    CALLSTATE_CAUSE_NORMAL = 1,
    CALLSTATE_CAUSE_TRANSFERRED = 2,
    CALLSTATE_CAUSE_TRANSFER = 3,
    CALLSTATE_CAUSE_CONFERENCE = 4,
    CALLSTATE_CAUSE_EARLY_MEDIA = 5,
    CALLSTATE_CAUSE_REQUEST_NOT_ACCEPTED = 6,
    CALLSTATE_CAUSE_BAD_ADDRESS = 7,
    CALLSTATE_CAUSE_BUSY = 8,
    CALLSTATE_CAUSE_RESOURCE_LIMIT = 9,
    CALLSTATE_CAUSE_NETWORK = 10,
    CALLSTATE_CAUSE_REDIRECTED = 11,
    CALLSTATE_CAUSE_NO_RESPONSE = 12,
    CALLSTATE_CAUSE_AUTH = 13,
    CALLSTATE_CAUSE_TRANSFER_INITIATED = 14,
    CALLSTATE_CAUSE_TRANSFER_ACCEPTED = 15,
    CALLSTATE_CAUSE_TRANSFER_TRYING = 16,
    CALLSTATE_CAUSE_TRANSFER_RINGING = 17,
    CALLSTATE_CAUSE_TRANSFER_SUCCESS = 18,
    CALLSTATE_CAUSE_TRANSFER_FAILURE = 19,
    CALLSTATE_CAUSE_REMOTE_SMIME_UNSUPPORTED = 20,
    CALLSTATE_CAUSE_SMIME_FAILURE = 21,
    CALLSTATE_CAUSE_SHUTDOWN = 22,
    CALLSTATE_CAUSE_BAD_REFER = 23,
    CALLSTATE_CAUSE_NO_KNOWN_INVITE = 24,
    CALLSTATE_CAUSE_BYE_DURING_IDLE = 25,
    CALLSTATE_CAUSE_UNKNOWN_STATUS_CODE = 26,
    CALLSTATE_CAUSE_BAD_REDIRECT = 27,
    CALLSTATE_CAUSE_TRANSACTION_DOES_NOT_EXIST = 28,
    CALLSTATE_CAUSE_CANCEL = 29,
} SIPX_CALLSTATE_CAUSE;

typedef enum SIPX_LINESTATE_EVENT {
    LINESTATE_UNKNOWN = 0,
    LINESTATE_REGISTERING = 20000,
    LINESTATE_REGISTERED = 21000,
    LINESTATE_UNREGISTERING = 22000,
    LINESTATE_UNREGISTERED = 23000,
    LINESTATE_REGISTER_FAILED = 24000,
    LINESTATE_UNREGISTER_FAILED = 25000,
    LINESTATE_PROVISIONED = 26000,
} SIPX_LINESTATE_EVENT;

typedef enum SIPX_LINESTATE_CAUSE {
    LINESTATE_CAUSE_UNKNOWN = 0,
    LINESTATE_CAUSE_NORMAL = 1,
    LINESTATE_CAUSE_COULD_NOT_CONNECT = 2,
    LINESTATE_CAUSE_NOT_AUTHORIZED = 3, // wrong credentials (401/403)
    LINESTATE_CAUSE_TIMEOUT = 4,
} SIPX_LINESTATE_CAUSE;

typedef enum SIPX_CONFIG_EVENT {
    CONFIG_UNKNOWN = 0,
    CONFIG_STUN_SUCCESS = 40000,
    CONFIG_STUN_FAILURE = 41000,
} SIPX_CONFIG_EVENT;

typedef enum SIPX_MEDIA_EVENT {
    MEDIA_UNKNOWN = 0,
    MEDIA_REMOTE_DTMF = 59000, // a DTMF event (RFC 4733) arrived from the far end
} SIPX_MEDIA_EVENT;

// Keep-alives (sipxConfigKeepAliveAdd). Only SIP OPTIONS is implemented.
typedef enum SIPX_KEEPALIVE_TYPE {
    SIPX_KEEPALIVE_CRLF = 0,
    SIPX_KEEPALIVE_STUN = 1,
    SIPX_KEEPALIVE_SIP_PING = 2,
    SIPX_KEEPALIVE_SIP_OPTIONS = 3, // an OPTIONS request; any answer is feedback
} SIPX_KEEPALIVE_TYPE;

typedef enum SIPX_KEEPALIVE_EVENT {
    KEEPALIVE_FEEDBACK = 1, // the far end answers (the first answer, and the first after failures)
    KEEPALIVE_FAILURE = 2, // a request got no answer (the first, and the first after answers)
} SIPX_KEEPALIVE_EVENT;

typedef enum SIPX_CONTACT_TYPE {
    CONTACT_AUTO = -1,
    CONTACT_LOCAL = 0, // an address of a local interface
    CONTACT_NAT_MAPPED = 1, // the address a STUN server saw
    CONTACT_RELAY = 2,
    CONTACT_CONFIG = 3,
} SIPX_CONTACT_TYPE;

typedef enum SIPX_TRANSPORT_TYPE {
    TRANSPORT_UDP = 1,
    TRANSPORT_TCP = 0,
    TRANSPORT_TLS = 3,
} SIPX_TRANSPORT_TYPE;

// A tone is the DTMF character's code.
typedef enum SIPX_TONE_ID {
    ID_DTMF_0 = '0',
    ID_DTMF_1 = '1',
    ID_DTMF_2 = '2',
    ID_DTMF_3 = '3',
    ID_DTMF_4 = '4',
    ID_DTMF_5 = '5',
    ID_DTMF_6 = '6',
    ID_DTMF_7 = '7',
    ID_DTMF_8 = '8',
    ID_DTMF_9 = '9',
    ID_DTMF_STAR = '*',
    ID_DTMF_POUND = '#',
    ID_DTMF_A = 'A',
    ID_DTMF_B = 'B',
    ID_DTMF_C = 'C',
    ID_DTMF_D = 'D',
} SIPX_TONE_ID;

typedef enum SIPX_LOG_LEVEL {
    LOG_LEVEL_DEBUG = 0,
    LOG_LEVEL_INFO = 1,
    LOG_LEVEL_NOTICE = 2,
    LOG_LEVEL_WARNING = 3,
    LOG_LEVEL_ERR = 4,
    LOG_LEVEL_CRIT = 5,
    LOG_LEVEL_ALERT = 6,
    LOG_LEVEL_EMERG = 7,
    LOG_LEVEL_NONE = 8,
} SIPX_LOG_LEVEL;

typedef enum SIPX_AEC_MODE {
    SIPX_AEC_DISABLED = 0,
    SIPX_AEC_SUPPRESS = 1,
    SIPX_AEC_CANCEL = 2,
    SIPX_AEC_CANCEL_AUTO = 3,
} SIPX_AEC_MODE;

typedef enum SIPX_NOISE_REDUCTION_MODE {
    SIPX_NOISE_REDUCTION_DISABLED = 0,
    SIPX_NOISE_REDUCTION_LOW = 1,
    SIPX_NOISE_REDUCTION_MEDIUM = 2,
    SIPX_NOISE_REDUCTION_HIGH = 3,
} SIPX_NOISE_REDUCTION_MODE;

typedef enum SIPX_AUDIO_BANDWIDTH_ID {
    AUDIO_CODEC_BW_VARIABLE = 0,
    AUDIO_CODEC_BW_LOW = 1,
    AUDIO_CODEC_BW_NORMAL = 2,
    AUDIO_CODEC_BW_HIGH = 3,
} SIPX_AUDIO_BANDWIDTH_ID;

// ---- Records -------------------------------------------------------------------------
// Pointers inside event records are valid only while the callback runs.

typedef struct SIPX_CALLSTATE_INFO {
    size_t nSize;
    SIPX_CALL hCall;
    SIPX_LINE hLine;
    SIPX_CALLSTATE_EVENT event;
    SIPX_CALLSTATE_CAUSE cause;
    const char* szRemoteIdentity; // the far end's address as text; never null
} SIPX_CALLSTATE_INFO;

typedef struct SIPX_LINESTATE_INFO {
    size_t nSize;
    SIPX_LINE hLine;
    SIPX_LINESTATE_EVENT event;
    SIPX_LINESTATE_CAUSE cause;
} SIPX_LINESTATE_INFO;

typedef struct SIPX_CONFIG_INFO {
    size_t nSize;
    SIPX_CONFIG_EVENT event;
    const char* szMappedAddress; // STUN success: the address the server saw ("ip:port"); else ""
} SIPX_CONFIG_INFO;

typedef struct SIPX_KEEPALIVE_INFO {
    size_t nSize;
    SIPX_KEEPALIVE_EVENT event;
    SIPX_KEEPALIVE_TYPE type;
    const char* szRemoteAddress; // as given to sipxConfigKeepAliveAdd
    int remotePort;
    int keepAliveSecs;
} SIPX_KEEPALIVE_INFO;

typedef struct SIPX_NOTIFY_INFO {
    size_t nSize;
    SIPX_SUB hSub;
    const char* szNotiferUserAgent; // may be ""
    const char* szContentType; // may be ""
    const void* pContent; // the body followed by a terminating zero; null when empty
    size_t nContentLength; // body length without the terminating zero
} SIPX_NOTIFY_INFO;

typedef struct SIPX_INFOSTATUS_INFO {
    size_t nSize;
    int status; // 0 success
    int responseCode;
    const char* szResponseText;
} SIPX_INFOSTATUS_INFO;

typedef struct SIPX_INFO_INFO {
    size_t nSize;
    SIPX_CALL hCall;
    SIPX_LINE hLine;
    const char* szFromURL;
    const char* szContentType;
    const char* pContent;
    size_t nContentLength;
} SIPX_INFO_INFO;

typedef struct SIPX_MEDIA_INFO {
    size_t nSize;
    SIPX_MEDIA_EVENT event;
    SIPX_CALL hCall;
    SIPX_TONE_ID toneId; // MEDIA_REMOTE_DTMF: the tone received
} SIPX_MEDIA_INFO;

typedef struct SIPX_CONTACT_ADDRESS {
    SIPX_CONTACT_ID id;
    SIPX_CONTACT_TYPE eContactType;
    SIPX_TRANSPORT_TYPE eTransportType;
    char cInterface[SIPX_CONTACT_ADDRESS_LEN]; // interface name ("eth0"), "" for mapped
    char cIpAddress[SIPX_CONTACT_ADDRESS_LEN]; // dotted IPv4 address
    int iPort;
} SIPX_CONTACT_ADDRESS;

typedef struct SIPX_AUDIO_CODEC {
    char cName[SIPXTAPI_CODEC_NAMELEN]; // e.g. "SPEEX", "OPUS", "G722", "PCMU"
    SIPX_AUDIO_BANDWIDTH_ID iBandWidth;
    int iPayloadType;
} SIPX_AUDIO_CODEC;

// Opaque; passed as null.
typedef struct SIPX_VIDEO_DISPLAY SIPX_VIDEO_DISPLAY;
typedef struct SIPX_SECURITY_ATTRIBUTES SIPX_SECURITY_ATTRIBUTES;
typedef struct SIPX_CALL_OPTIONS SIPX_CALL_OPTIONS;

// The one event callback: category, the matching record (SIPX_CALLSTATE_INFO for
// EVENT_CATEGORY_CALLSTATE, ...) and the user data given at registration. Returns true
// when it handled the event.
typedef bool (*SIPX_EVENT_CALLBACK_PROC)(SIPX_EVENT_CATEGORY category, void* pInfo, void* pUserData);

// ---- Set-up --------------------------------------------------------------------------

// Starts a stack instance. udp/tcp/tls ports: a port, SIPX_PORT_AUTO or SIPX_PORT_DISABLE;
// rtpPortStart: first media port; szIdentity: "user@domain" or ""; szBindToAddr: an IPv4
// address or null for all interfaces.
SIPX_RESULT sipxInitialize(SIPX_INST* phInst, int udpPort, int tcpPort, int tlsPort, int rtpPortStart,
    int maxConnections, const char* szIdentity, const char* szBindToAddr, bool bUseSequentialPorts,
    const char* szTLSCertificateNickname, const char* szTLSCertificatePassword, const char* szDbLocation);
// Stops the instance and its engine thread; the handle is invalid afterwards.
SIPX_RESULT sipxUnInitialize(SIPX_INST hInst, bool bForceShutdown);

SIPX_RESULT sipxConfigSetLogLevel(SIPX_LOG_LEVEL logLevel);
SIPX_RESULT sipxAudioSetAECMode(SIPX_INST hInst, SIPX_AEC_MODE mode);
SIPX_RESULT sipxAudioSetAGCMode(SIPX_INST hInst, bool bEnable);
SIPX_RESULT sipxAudioSetNoiseReductionMode(SIPX_INST hInst, SIPX_NOISE_REDUCTION_MODE mode);

// STUN: binds through szServer:iServerPort, reports CONFIG_STUN_SUCCESS or
// CONFIG_STUN_FAILURE, keeps the mapping alive every iKeepAliveInSecs seconds.
SIPX_RESULT sipxConfigEnableStun(
    SIPX_INST hInst, const char* szServer, int iServerPort, int iKeepAliveInSecs);
SIPX_RESULT sipxConfigDisableStun(SIPX_INST hInst);

// Makes the named codec the preferred one; the other codecs stay as fallbacks.
SIPX_RESULT sipxConfigSetAudioCodecByName(SIPX_INST hInst, const char* szCodecName);
SIPX_RESULT sipxConfigGetNumAudioCodecs(SIPX_INST hInst, int* pNumCodecs);
SIPX_RESULT sipxConfigGetAudioCodec(SIPX_INST hInst, int index, SIPX_AUDIO_CODEC* pCodec);

SIPX_RESULT sipxConfigSetRegisterResponseWaitSeconds(SIPX_INST hInst, int seconds);
SIPX_RESULT sipxConfigSetUserAgentName(SIPX_INST hInst, const char* szName, bool bIncludePlatformName);
// rport is on by default; a change applies to instances initialised afterwards.
SIPX_RESULT sipxConfigEnableRport(SIPX_INST hInst, bool bEnable);
// Applies to every instance.
SIPX_RESULT sipxConfigEnableDnsSrv(bool bEnable);
// "host" or "host:port"; "" or null removes the proxy.
SIPX_RESULT sipxConfigSetOutboundProxy(SIPX_INST hInst, const char* szProxy);

// The STUN outcome already known when the listener is added is reported to it at once.
SIPX_RESULT sipxEventListenerAdd(SIPX_INST hInst, SIPX_EVENT_CALLBACK_PROC pCallbackProc, void* pUserData);

// Keep-alive with SIPX_KEEPALIVE_SIP_OPTIONS: an OPTIONS request to szRemoteIp (an address
// or host name) at iRemotePort every iKeepAliveSecs seconds, from a socket of its own
// bound to the instance's bind address (the core keeps its own SIP socket's binding
// alive). Its outcome arrives as EVENT_CATEGORY_KEEPALIVE events: the first outcome and
// every change. While requests go unanswered they are retried after 2, 4, 8 ... seconds,
// never waiting longer than iKeepAliveSecs. Adding the same far end again starts it
// afresh; other types give SIPX_RESULT_NOT_IMPLEMENTED. contactId is not used.
SIPX_RESULT sipxConfigKeepAliveAdd(SIPX_INST hInst, SIPX_CONTACT_ID contactId, SIPX_KEEPALIVE_TYPE type,
    const char* szRemoteIp, int iRemotePort, int iKeepAliveSecs);
// Stops it; nothing is reported. An unknown one gives SIPX_RESULT_INVALID_ARGS.
SIPX_RESULT sipxConfigKeepAliveRemove(SIPX_INST hInst, SIPX_CONTACT_ID contactId, SIPX_KEEPALIVE_TYPE type,
    const char* szRemoteIp, int iRemotePort);

// Fills at most nMaxAddresses entries: the local IPv4 interfaces, then the STUN-mapped
// address when there is one. *pnActualAddresses receives the count written.
SIPX_RESULT sipxConfigGetLocalContacts(
    SIPX_INST hInst, SIPX_CONTACT_ADDRESS addresses[], size_t nMaxAddresses, size_t* pnActualAddresses);

// ---- Lines ---------------------------------------------------------------------------

SIPX_RESULT sipxConfigSetRegisterExpiration(SIPX_INST hInst, int seconds);
// szLineURL: "user@domain" or "sip:user@domain".
SIPX_RESULT sipxLineAdd(SIPX_INST hInst, const char* szLineURL, SIPX_LINE* phLine, SIPX_CONTACT_ID contactId);
// Removing line 0 or an unknown line gives SIPX_RESULT_INVALID_ARGS and changes nothing.
SIPX_RESULT sipxLineRemove(SIPX_LINE hLine);
SIPX_RESULT sipxLineAddCredential(
    SIPX_LINE hLine, const char* szUserID, const char* szPasswd, const char* szRealm);
// true registers, false unregisters; the outcome arrives as line-state events.
SIPX_RESULT sipxLineRegister(SIPX_LINE hLine, bool bRegister);

// ---- Audio devices -------------------------------------------------------------------
// Device names returned here stay valid until the instance is un-initialised.

SIPX_RESULT sipxAudioGetNumInputDevices(SIPX_INST hInst, size_t* numDevices);
SIPX_RESULT sipxAudioGetInputDevice(SIPX_INST hInst, int index, const char** pszDevice);
SIPX_RESULT sipxAudioGetNumOutputDevices(SIPX_INST hInst, size_t* numDevices);
SIPX_RESULT sipxAudioGetOutputDevice(SIPX_INST hInst, int index, const char** pszDevice);
SIPX_RESULT sipxAudioSetCallInputDevice(SIPX_INST hInst, const char* szDevice);
SIPX_RESULT sipxAudioSetCallOutputDevice(SIPX_INST hInst, const char* szDevice);
SIPX_RESULT sipxAudioSetRingerOutputDevice(SIPX_INST hInst, const char* szDevice);
// Mutes (true) or unmutes the microphone of every call.
SIPX_RESULT sipxAudioMute(SIPX_INST hInst, bool bMute);

// ---- Calls ---------------------------------------------------------------------------

SIPX_RESULT sipxCallCreate(SIPX_INST hInst, SIPX_LINE hLine, SIPX_CALL* phCall);
// szAddress: "user@domain" or "sip:user@domain".
SIPX_RESULT sipxCallConnect(SIPX_CALL hCall, const char* szAddress, SIPX_CONTACT_ID contactId,
    SIPX_VIDEO_DISPLAY* pDisplay, SIPX_SECURITY_ATTRIBUTES* pSecurity, bool bTakeFocus,
    SIPX_CALL_OPTIONS* options, const char* szCallId);
// Accepts an offered incoming call: it rings (180), CALLSTATE_ALERTING follows.
SIPX_RESULT sipxCallAccept(SIPX_CALL hCall, SIPX_VIDEO_DISPLAY* pDisplay, SIPX_SECURITY_ATTRIBUTES* pSecurity,
    SIPX_CALL_OPTIONS* options, bool bSendEarlyMedia);
SIPX_RESULT sipxCallAnswer(SIPX_CALL hCall, bool bTakeFocus);
SIPX_RESULT sipxCallReject(SIPX_CALL hCall, int errorCode, const char* szErrorText);
// Ends the call if it still runs, forgets the handle and sets *phCall to 0. The events
// that follow still carry the old handle: CALLSTATE_DISCONNECTED (when the call still
// ran), then CALLSTATE_DESTROYED. A call the far end ended keeps its handle, answering
// SIPX_RESULT_INVALID_STATE, until it is destroyed.
SIPX_RESULT sipxCallDestroy(SIPX_CALL* phCall);
// Holds the call's media (the far end is put on hold, sending and playing stop).
SIPX_RESULT sipxCallHold(SIPX_CALL hCall, bool bStopRemoteAudio);
SIPX_RESULT sipxCallUnhold(SIPX_CALL hCall);
// Copies the far end's identity, cut to iMaxLength - 1 characters and zero-terminated
// (SIPX_RESULT_INSUFFICIENT_BUFFER when cut).
SIPX_RESULT sipxCallGetRemoteID(SIPX_CALL hCall, char* szId, size_t iMaxLength);
// DTMF: bRemote sends it as RFC 4733 telephone events, bLocal plays it here.
SIPX_RESULT sipxCallStartTone(SIPX_CALL hCall, SIPX_TONE_ID toneId, bool bLocal, bool bRemote);
SIPX_RESULT sipxCallStopTone(SIPX_CALL hCall);
// Plays a WAV file for the call; with bLocal on the ring device, bRepeat loops it.
SIPX_RESULT sipxCallAudioPlayFileStart(SIPX_CALL hCall, const char* szFile, bool bRepeat, bool bLocal,
    bool bRemote, bool bMixWithMicrophone, float fVolumeScaling);
SIPX_RESULT sipxCallAudioPlayFileStop(SIPX_CALL hCall);
// Current levels of the call's audio in dB, from -100 (silence) to 0 (full scale):
// input = the microphone as sent, output = the far end as played.
SIPX_RESULT sipxCallGetAudioLevels(SIPX_CALL hCall, int* piInputLevel, int* piOutputLevel);

// ---- Events --------------------------------------------------------------------------

// A readable text of the event ("CALLSTATE_CONNECTED::CALLSTATE_CAUSE_NORMAL"), cut to
// the buffer and zero-terminated. Returns the buffer (or "" for a null buffer).
const char* sipxEventToString(
    SIPX_EVENT_CATEGORY category, const void* pEvent, char* szBuffer, size_t nBuffer);

// Subscribes for szEventType at szTargetUrl; NOTIFY bodies arrive as EVENT_CATEGORY_NOTIFY.
SIPX_RESULT sipxConfigSubscribe(SIPX_INST hInst, SIPX_LINE hLine, const char* szTargetUrl,
    const char* szEventType, const char* szAcceptType, SIPX_CONTACT_ID contactId, SIPX_SUB* phSub);
SIPX_RESULT sipxConfigUnsubscribe(SIPX_SUB hSub);
