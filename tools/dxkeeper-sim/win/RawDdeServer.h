#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace dxkeeper_sim::win {

// How the server answers an execute.
enum class ExecuteReply { kAck, kNack, kBusy };

// What the server does with a request, an advise or an execute instead of answering it: the
// faults of a host that tests need.
enum class Fault {
  kNone,
  kIgnore,  // drops the message unanswered (ending a conversation is still answered)
  kHang,    // blocks its thread for good: a hung host
  kQuit,    // ends every conversation and quits
};

struct ServerFaults {
  Fault onRequest = Fault::kNone;
  Fault onAdvise = Fault::kNone;
  Fault onExecute = Fault::kNone;
  bool refuseAdvise = false;  // answers every advise with a negative ACK
};

// A DDE server written with raw WM_DDE_* messages rather than DDEML: Wine's DDEML server answers
// a request with the data and an extra positive ACK, which shifts every later reply of a
// conversation by one. Its windows are ANSI, as a Visual Basic host's are, so a client's Unicode
// executes reach it converted, and items are served as CF_TEXT in the ANSI code page; on our side
// all text is UTF-8.
//
// Serves one service and topic (compared without regard to case) and the items set on it; any
// other item is refused. Controlled through its top-level window (class kWindowClass): WM_COPYDATA
// with "item=value" (UTF-8) sets an item, WM_CLOSE ends every conversation and the message loop.
// Single-threaded: create, open and run it on one thread.
class RawDdeServer {
 public:
  // Runs one execute (the command as UTF-8) from the conversation of the client window `client`
  // and says how to answer it.
  using ExecuteHandler = std::function<ExecuteReply(const std::string& command, HWND client)>;
  static constexpr const char* kWindowClass = "ZorvikRawDdeServer";

  RawDdeServer(std::string service, std::string topic, ExecuteHandler onExecute,
               ServerFaults faults = {});
  ~RawDdeServer();  // destroys the windows, if still there; ends no conversation politely
  RawDdeServer(const RawDdeServer&) = delete;
  RawDdeServer& operator=(const RawDdeServer&) = delete;

  // Creates the top-level window titled `title`. Returns an error text, empty on success.
  std::string Open(const std::string& title);
  HWND Window() const { return main_; }

  // True when some other window answers a DDE initiate for the service and topic, i.e. another
  // host already serves it. Call after Open() and before Run(); windows that hang are skipped.
  bool AnotherServerAnswers();

  // Sets an item's value (UTF-8) and sends it to every client with an automatic link on it.
  void SetItem(const std::string& item, const std::string& value);

  // Answers initiates and runs the thread's message loop until the window is closed. Returns 0.
  int Run();

 private:
  struct Link {
    HWND client;
    std::string item;
    bool ackRequested;
  };
  // Item names compare as DDE atoms do: without regard to case.
  struct NoCase {
    bool operator()(const std::string& a, const std::string& b) const {
      return lstrcmpiA(a.c_str(), b.c_str()) < 0;
    }
  };

  static LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK ConversationProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT OnMainMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT OnConversationMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  void OnInitiate(HWND client, ATOM application, ATOM topic);
  void OnRequest(HWND conv, HWND client, LPARAM lp);
  void OnAdvise(HWND conv, HWND client, LPARAM lp);
  void OnExecute(HWND conv, HWND client, LPARAM lp);
  // Applies `fault`; true when the message must go unanswered.
  bool Misbehave(Fault fault);
  // Posts the item's value to `client`: as the answer to a request, or as an advise.
  void PostData(HWND conv, HWND client, const std::string& item, bool response, bool ackReq);
  void Close();

  std::string service_;
  std::string topic_;
  ExecuteHandler onExecute_;
  ServerFaults faults_;
  HWND main_ = nullptr;
  bool serving_ = false;  // initiates are answered only while Run() runs
  bool probing_ = false;
  bool probeAnswered_ = false;
  std::map<std::string, std::string, NoCase> items_;  // values in the ANSI code page
  std::vector<Link> links_;
  std::map<HWND, HWND> conversations_;  // our window -> the client's window
};

}  // namespace dxkeeper_sim::win
