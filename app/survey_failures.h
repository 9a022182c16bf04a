// What the shell shows of keywords whose search failed: the keyword's cell names the failure
// instead of a rank (in the current run as it ends and in every history column), and the end of
// a run brings one message that counts them, or says that the engine refused the run.
#pragma once

#include <string>

#include "app/app_state.h"
#include "app/messages.h"
#include "app/result_list.h"
#include "survey/rank_outcome.h"

namespace vexor {

// What the cause of a failure is called: "失敗: HTTP 429", "失敗: 時間切れ", ...
std::string failureCauseText(FailureCause cause, int status);

// What the end of a run advises for a failure: learning the engine again when its pages no
// longer read with the rules (no links, not a results page, an address the engine does not
// know); waiting, the network settings or a slower pace when the engine refused the request
// (403, 429, 5xx) or could not be reached (network, time-out, empty answer, TLS); nothing of its
// own for consent, captcha and script pages and redirects, whose cells say what they are.
enum class FailureAdvice { None, Relearn, WaitAndRetry };
FailureAdvice adviceFor(const SearchFailure& failure);

// The cell text of a failure: "失敗: HTTP 429", "失敗: 同意の確認ページ (3 ページ目)", ...,
// and the proxy that could not be got through: "失敗: 接続できません (プロキシ 10.0.0.7:8080)".
std::string failureText(const SearchFailure& failure);

// A proxy as it is shown: without a user name and password written before its host.
std::string proxyAsShown(const std::string& proxy);

// Shows the failure in column 1 of row and counts the keyword for the end of the run.
void showSurveyFailure(AppState& state, ResultList& list, int row, const SearchFailure& failure);

// The run has ended: when the engine refused it, says so and that the next start continues it;
// when keywords failed, one warning over the main window naming how many and how to survey them
// again, with the advice (adviceFor) of each kind of failure among them. The counts start again
// from 0.
void reportSurveyEnd(AppState& state, Messages& messages);

}  // namespace vexor
