#pragma once
// The analyzer's settings vocabulary: one query per setting that checks the answer,
// drains a late one and asks again, and one command per setting the PC can change.
// Transport errors (LinkError) end the operation and reach the caller.
#include <functional>
#include <string>

#include "link/command_transport.h"

namespace vantrel {

class AnalyzerCommands {
 public:
  explicit AnalyzerCommands(CommandTransport& transport);

  // Queries. With the transport's stopRequested set they send nothing and return
  // 0, "" or false (all but Get_Detection, which always asks).
  float Get_RefLevel();
  std::string Get_RefUnit();
  float Get_Scale();
  double Get_FreqStart();
  double Get_FreqStop();
  double Get_FreqCenter();
  std::string Get_SPAN();
  std::string Get_RBW();
  std::string Get_VBW();
  std::string Get_RBWMode();
  std::string Get_VBWMode();
  float Get_SweepTime();
  std::string Get_SweepTime_str();
  std::string Get_Detection();
  std::string Get_Clock();
  bool Get_MM_MODE();
  double Get_MarkerFreq();
  double Get_MarkerLevel();

  // Commands; numbers go out in shortest decimal form with "." as the point.
  void Set_RefLvl(double level, const std::string& unit);
  void Set_AmpUnit(const std::string& unit);
  void Set_Scale(int dbPerDiv);
  void Set_FreqStart(double mhz);
  void Set_FreqStop(double mhz);
  void Set_FreqCenter(double mhz);
  void Set_Span(double mhz);
  // Verified settings: with `verify` the value is read back and sent again, five
  // passes at most; a label outside the table sends nothing.
  void Set_RBW(const std::string& label, bool verify);
  void Set_VBW(const std::string& label, bool verify);
  void Set_Detection(const std::string& name, bool verify);
  void Set_RBWAuto(int flag);
  void Set_VBWAuto(int flag);
  void Set_MarkerSelect(int marker);
  void Set_SweepAuto(bool flag);

  CommandTransport& Transport() { return transport_; }
  // The first query since the last call that got no acceptable answer in all its
  // attempts ("" when every one did), and forgets it.
  std::string TakeUnanswered();

 private:
  enum class OnReject { Drain, Wait50, Wait100, AskAgain };
  struct QueryRule {
    const char* query;
    double settleMs;
    double waitAfterMs;  // waited after every answer, accepted or not
    OnReject onReject;
    bool honoursStop;
    std::function<bool(const std::string&)> accepts;
    bool lastTakenUntested = false;  // a non-empty last answer counts as accepted
  };
  // The common loop: up to five attempts; the last answer is returned whatever it
  // is. False (answer untouched) when stopRequested ended it before an answer.
  bool RunQuery(const QueryRule& rule, std::string& answer);
  std::string RunLabelQuery(const char* query, double settleMs,
                            const std::function<bool(const std::string&)>& accepts);
  void Drain();
  void Verified(const std::function<void()>& send, const std::function<bool()>& confirmed,
                double waitMs);
  double MarkerValue(const char* query, double waitAfterMs);
  Clock& clock();

  CommandTransport& transport_;
  std::string unanswered_;
};

}  // namespace vantrel
