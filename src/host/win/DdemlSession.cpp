#include "host/win/DdemlSession.h"

#include <cstring>
#include <utility>

#include "host/win/WideText.h"

namespace zorvik::host::win {
namespace {

// DDEML hands callbacks no context; each thread has at most one session.
thread_local DdemlSession* tSession = nullptr;

// A host window that takes longer than this to accept a message counts as hung.
constexpr UINT kHungProbeMs = 300;

// The host serves CF_TEXT in its ANSI code page, as a Visual Basic host does; text up to the
// first NUL.
std::string TextOf(HDDEDATA data) {
  DWORD size = 0;
  const BYTE* bytes = DdeAccessData(data, &size);
  if (bytes == nullptr) return {};
  const char* text = reinterpret_cast<const char*>(bytes);
  std::string ansi(text, strnlen(text, size));
  DdeUnaccessData(data);
  return AnsiToUtf8(ansi);
}

}  // namespace

// A DDEML string handle, freed with the session's instance.
class DdemlSession::StringHandle {
 public:
  StringHandle(DWORD instance, const std::wstring& text)
      : instance_(instance), hsz_(DdeCreateStringHandleW(instance, text.c_str(), CP_WINUNICODE)) {}
  ~StringHandle() {
    if (hsz_ != nullptr) DdeFreeStringHandle(instance_, hsz_);
  }
  StringHandle(const StringHandle&) = delete;
  StringHandle& operator=(const StringHandle&) = delete;
  HSZ get() const { return hsz_; }

 private:
  DWORD instance_;
  HSZ hsz_;
};

DdemlSession::DdemlSession(AdviseHandler onAdvise) : onAdvise_(std::move(onAdvise)) {
  tSession = this;
  const UINT rc = StartInstance();
  if (rc != DMLERR_NO_ERROR) {
    tSession = nullptr;
    throw DdeFailure(rc, DdeStep::kConnect);
  }
}

DdemlSession::~DdemlSession() {
  Close();
  if (instance_ != 0) DdeUninitialize(instance_);
  if (tSession == this) tSession = nullptr;
}

UINT DdemlSession::StartInstance() {
  instance_ = 0;
  return DdeInitializeW(&instance_, &DdemlSession::Callback,
                        APPCMD_CLIENTONLY | CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS, 0);
}

void DdemlSession::RestartInstance(bool endConversations) {
  // Uninitializing ends every conversation politely and waits for each host to confirm; for a
  // hung host that wait would keep this thread's windows deaf to every DDE initiate in the
  // session. Such an instance is left behind unended instead (its windows go with the thread).
  if (endConversations && instance_ != 0) DdeUninitialize(instance_);
  if (StartInstance() != DMLERR_NO_ERROR) instance_ = 0;
}

void DdemlSession::Close() noexcept {
  if (conv_ == nullptr) return;
  HCONV conv = std::exchange(conv_, nullptr);
  CONVINFO info{};
  info.cb = sizeof info;
  const bool known = DdeQueryConvInfo(conv, QID_SYNC, &info) != 0;
  if (known && (info.wStatus & ST_CONNECTED) && IsWindow(info.hwndPartner)) {
    // Ending a conversation waits for the host's answer (ten seconds under Wine). A host that
    // does not even take a message now will not answer.
    DWORD_PTR ignored = 0;
    if (SendMessageTimeoutW(info.hwndPartner, WM_NULL, 0, 0, SMTO_NORMAL, kHungProbeMs, &ignored)) {
      DdeDisconnect(conv);
    } else {
      RestartInstance(false);
    }
    return;
  }
  // The host ended the conversation or vanished. Wine keeps such a conversation on its books
  // and then refuses every new one with the same service and topic; a fresh instance does not.
  DdeDisconnect(conv);
  RestartInstance(true);
}

void DdemlSession::Fail(DdeStep step, UINT error) {
  if (error == DMLERR_NO_ERROR) error = DMLERR_SYS_ERROR;
  Failure failure = DdeFailure(error, step);
  // A late answer to a timed-out call would be taken as the reply to the next one; a refused
  // link set-up leaves nothing worth keeping either.
  if (IsDdeTimeout(error) || IsConversationGone(error) || step != DdeStep::kExecute) Close();
  throw failure;
}

UINT DdemlSession::LastError() const {
  return instance_ != 0 ? DdeGetLastError(instance_) : DMLERR_DLL_NOT_INITIALIZED;
}

UINT DdemlSession::SetUpStepError() const {
  const UINT error = LastError();
  // Wine reports a host that ended the conversation instead of answering as a refusal.
  if (!IsDdeTimeout(error) && !ConversationAlive()) return DMLERR_SERVER_DIED;
  return error;
}

bool DdemlSession::ConversationAlive() const {
  if (conv_ == nullptr) return false;
  CONVINFO info{};
  info.cb = sizeof info;
  if (DdeQueryConvInfo(conv_, QID_SYNC, &info) == 0) return false;
  // Wine tells the client nothing when the host ends the conversation, and a host that was
  // killed ends nothing: its window is the reliable sign.
  return (info.wStatus & ST_CONNECTED) != 0 && IsWindow(info.hwndPartner);
}

std::string DdemlSession::OpenLink(const std::wstring& service, const std::wstring& topic,
                                   const std::wstring& item, std::uint64_t setUp) {
  Close();
  setUp_ = setUp;
  if (instance_ == 0) RestartInstance(false);
  if (instance_ == 0) throw DdeFailure(DMLERR_DLL_NOT_INITIALIZED, DdeStep::kConnect);
  // Wine refuses, without saying why, a conversation that it still counts as open; a fresh
  // instance has none.
  if (!Connect(service, topic)) {
    UINT error = LastError();
    if (error == DMLERR_NO_ERROR) {
      RestartInstance(true);
      if (!Connect(service, topic)) error = LastError();
    }
    if (conv_ == nullptr) Fail(DdeStep::kConnect, error);
  }
  StringHandle hszItem(instance_, item);
  if (!hszItem.get()) Fail(DdeStep::kRequest, LastError());

  DWORD result = 0;
  HDDEDATA data = DdeClientTransaction(nullptr, 0, conv_, hszItem.get(), CF_TEXT, XTYP_REQUEST,
                                       kDdeTransactionTimeoutMs, &result);
  if (data == nullptr) Fail(DdeStep::kRequest, SetUpStepError());
  std::string value = TextOf(data);
  DdeFreeDataHandle(data);

  // The automatic link keeps the value current while the program runs. A host that serves the
  // item but refuses to advise still gave us its value, which is all a set-up promises.
  if (!DdeClientTransaction(nullptr, 0, conv_, hszItem.get(), CF_TEXT, XTYP_ADVSTART,
                            kDdeTransactionTimeoutMs, &result)) {
    const UINT error = SetUpStepError();
    if (error != DMLERR_NOTPROCESSED && error != DMLERR_BUSY) Fail(DdeStep::kAdvise, error);
  }
  return value;
}

bool DdemlSession::Connect(const std::wstring& service, const std::wstring& topic) {
  StringHandle hszService(instance_, service);
  StringHandle hszTopic(instance_, topic);
  if (!hszService.get() || !hszTopic.get()) return false;
  conv_ = DdeConnect(instance_, hszService.get(), hszTopic.get(), nullptr);
  return conv_ != nullptr;
}

void DdemlSession::Execute(const std::wstring& command) {
  if (!ConversationAlive()) {
    Close();
    throw DdeFailure(DMLERR_NO_CONV_ESTABLISHED, DdeStep::kExecute);
  }
  // DDEML converts the command for a host whose windows are ANSI.
  const DWORD bytes = static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t));
  std::wstring buffer = command;
  DWORD result = 0;
  if (!DdeClientTransaction(reinterpret_cast<BYTE*>(buffer.data()), bytes, conv_, nullptr, 0,
                            XTYP_EXECUTE, kDdeTransactionTimeoutMs, &result)) {
    Fail(DdeStep::kExecute, LastError());
  }
}

HDDEDATA DdemlSession::OnAdviseData(HCONV conv, HDDEDATA data) {
  if (conv != conv_ || data == nullptr) return reinterpret_cast<HDDEDATA>(DDE_FNOTPROCESSED);
  if (onAdvise_) onAdvise_(setUp_, TextOf(data));
  return reinterpret_cast<HDDEDATA>(DDE_FACK);
}

HDDEDATA CALLBACK DdemlSession::Callback(UINT type, UINT /*format*/, HCONV conv, HSZ /*topic*/,
                                         HSZ /*item*/, HDDEDATA data, ULONG_PTR /*data1*/,
                                         ULONG_PTR /*data2*/) {
  DdemlSession* session = tSession;
  if (session == nullptr) return nullptr;
  switch (type) {
    case XTYP_ADVDATA:
      return session->OnAdviseData(conv, data);
    case XTYP_DISCONNECT:
      if (conv == session->conv_) session->conv_ = nullptr;
      return nullptr;
    default:
      return nullptr;
  }
}

}  // namespace zorvik::host::win
