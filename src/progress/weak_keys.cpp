// How weak each key is for this learner at a level now, and what the Weak
// Keys course draws from that: pure functions of the statistics.
//
// A key is judged on its last RecentTargetCount targets; while it has fewer
// than TopUpTargets of them, what its older counts say makes up the rest of
// those, so a key typed right a dozen times leaves its old record behind. Each
// target counts as going wrong by a miss (a wrong key typed for it), a
// look-up (typed only after its mole appeared; Standard and Expert) and
// slowness (the time to the right key against the learner's usual time at the
// level), added with the weights below: a target that went wrong in every way
// is 1, a clean quick one 0, and the key's weakness is the mean.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "progress/progress.h"
#include "texts/progress.h"

namespace {

// Misses say most; a look-up says the key is not yet known by touch; time
// says least, and a wrong key never counts as quick, so mashing cannot help.
constexpr double MissWeight = 0.5;
constexpr double LookUpWeight = 0.3;
constexpr double SlowWeight = 0.2;
// Beginner's shows every mole at once: only misses and time tell.
constexpr double BeginnerMissWeight = 0.7;
constexpr double BeginnerSlowWeight = 0.3;

// Fewer targets than this at a level say too little to call a key weak.
constexpr std::int64_t MinJudgedTargets = 10;
// Recent targets judged alone once there are this many; fewer are topped up
// with the older record.
constexpr int TopUpTargets = 10;
// A key must be at least this weak to be drilled on its own.
constexpr double FocusThreshold = 0.05;
constexpr int FocusMin = 3;
constexpr int FocusMax = 5;
// A fourth and a fifth key join the focus when nearly as weak as the third.
constexpr double NearlyAsWeak = 0.75;
// The focus gets this share of the targets when its keys are at least
// FullWeakness weak, less in proportion when they are only a little weak, so a
// learner with no real weak key is not drilled on slight ones.
constexpr double FocusShare = 0.6;
constexpr double FullWeakness = 0.3;
// The rest is spread over every other letter by weakness plus this floor, so
// every letter still comes now and then; a key not yet judged counts as this
// weak, one to learn.
constexpr double RestFloor = 0.05;
constexpr double ToLearnWeakness = 0.2;
constexpr double WeightScale = 1'000'000.0;

double Combine(int level, double missed, double lookedUp, double slow) {
  if (level == 1) return BeginnerMissWeight * missed + BeginnerSlowWeight * slow;
  return MissWeight * missed + LookUpWeight * lookedUp + SlowWeight * slow;
}

// 0 at the usual time or quicker, 1 at twice the usual time or slower.
double Slowness(double ms, double usualMs) {
  if (usualMs <= 0) return 0.0;
  return std::clamp(ms / usualMs - 1.0, 0.0, 1.0);
}

double Weakness(int level, const KeyCounts& k, double usualMs) {
  const RecentTargets& recent = k.recent;
  double recentSum = 0;
  std::int64_t recentMisses = 0, recentLookedUp = 0, recentRecalled = 0, recentMs = 0;
  for (int i = 0; i < recent.count; ++i) {
    const RecentTarget& t = recent.items[i];
    recentSum +=
        Combine(level, t.misses > 0 ? 1 : 0, t.mode == 'l' ? 1 : 0, Slowness(t.ms, usualMs));
    recentMisses += t.misses;
    recentLookedUp += t.mode == 'l';
    recentRecalled += t.mode == 'r';
    recentMs += t.ms;
  }
  // The older counts are the totals without the recent targets.
  const auto older = [](std::int64_t total, std::int64_t recentPart) {
    return static_cast<double>(std::max<std::int64_t>(0, total - recentPart));
  };
  const double oldTargets = older(k.target, recent.count);
  const double oldTimed = older(k.timed, recent.count);
  const double oldLookedUp = older(k.lookedUp, recentLookedUp);
  const double oldAnswered = oldLookedUp + older(k.recalled, recentRecalled);
  const double oldWeakness =
      Combine(level, oldTargets > 0 ? std::min(1.0, older(k.misses, recentMisses) / oldTargets) : 0,
              oldAnswered > 0 ? oldLookedUp / oldAnswered : 0,
              oldTimed > 0 ? Slowness(older(k.timeMs, recentMs) / oldTimed, usualMs) : 0);
  const double fill =
      std::min(oldTargets, static_cast<double>(std::max(0, TopUpTargets - recent.count)));
  const double judged = recent.count + fill;
  return judged > 0 ? (recentSum + oldWeakness * fill) / judged : 0.0;
}

}  // namespace

WeakKeyPlan PlanWeakKeys(const KeyStatistics& stats, int level) {
  WeakKeyPlan plan;
  if (level < 1 || level > ProgressLevels) return plan;
  plan.level = level;
  const auto& keys = stats.keys[level - 1];
  long double allMs = 0, allTimed = 0;
  for (const KeyCounts& k : keys) {
    allMs += k.timeMs;
    allTimed += k.timed;
    if (k.target > 0) plan.anyStatistics = true;
  }
  const double usualMs = allTimed > 0 ? static_cast<double>(allMs / allTimed) : 0.0;

  int order[ProgressLetters];
  int judged = 0;
  for (int letter = 0; letter < ProgressLetters; ++letter) {
    plan.weakness[letter] = Weakness(level, keys[letter], usualMs);
    plan.judged[letter] = keys[letter].target >= MinJudgedTargets;
    if (plan.judged[letter]) order[judged++] = letter;
  }
  // Weakest first; alike keys in alphabetical order, whatever the layout.
  std::stable_sort(order, order + judged,
                   [&](int a, int b) { return plan.weakness[a] > plan.weakness[b]; });

  int weakest = 0;
  for (int i = 0; i < judged && weakest < 5; ++i) {
    if (plan.weakness[order[i]] > 0) plan.weakest[weakest++] = static_cast<char>('A' + order[i]);
  }
  int focus = 0;
  for (int i = 0; i < judged && focus < FocusMax; ++i) {
    const double w = plan.weakness[order[i]];
    if (w < FocusThreshold) break;
    if (focus >= FocusMin && w < NearlyAsWeak * plan.weakness[order[FocusMin - 1]]) break;
    plan.focus[focus++] = static_cast<char>('A' + order[i]);
  }
  return plan;
}

void WeakKeyWeights(const WeakKeyPlan& plan, const char* letters, std::uint32_t* weights) {
  const int n = static_cast<int>(std::strlen(letters));
  if (!plan.anyStatistics) {
    std::fill(weights, weights + n, 1u);
    return;
  }
  const int focusCount = static_cast<int>(std::strlen(plan.focus));
  double share[MaxTargetKeys] = {};
  double focusTotal = 0, restRaw = 0;
  for (int i = 0; i < n; ++i) {
    const int letter = letters[i] - 'A';
    const bool known = letter >= 0 && letter < ProgressLetters;
    const double w = known ? plan.weakness[letter] : 0.0;
    if (known && std::strchr(plan.focus, letters[i]) != nullptr) {
      share[i] = -FocusShare * std::min(1.0, w / FullWeakness) / std::max(FocusMin, focusCount);
      focusTotal -= share[i];
    } else {
      share[i] = (known && plan.judged[letter] ? w : ToLearnWeakness) + RestFloor;
      restRaw += share[i];
    }
  }
  // Focus shares were marked negative; the rest divide what the focus leaves.
  for (int i = 0; i < n; ++i) {
    const double s = share[i] < 0 ? -share[i] : share[i] * (1.0 - focusTotal) / restRaw;
    weights[i] =
        std::max<std::uint32_t>(1, static_cast<std::uint32_t>(std::lround(s * WeightScale)));
  }
}

int PractisedLevel(const KeyStatistics& stats, const std::vector<RunEntry>& runs) {
  if (!runs.empty()) return runs.back().course / 100;
  for (int level = 1; level <= ProgressLevels; ++level) {
    for (const KeyCounts& k : stats.keys[level - 1]) {
      if (k.target > 0) return level;
    }
  }
  return 0;
}

std::string FormatWeakestKeys(const WeakKeyPlan& plan, int languageFlag) {
  const bool english = languageFlag == 1;
  char buf[64];
  std::snprintf(buf, sizeof buf, english ? "Weakest keys at %s:" : sjis::WeakestKeysJa,
                ProgressLevelNames[plan.level]);
  std::string line = buf;
  if (plan.weakest[0] == '\0') return line + (english ? " none yet" : sjis::NoneYetJa);
  for (const char* c = plan.weakest; *c; ++c) {
    std::snprintf(buf, sizeof buf, "  %c %ld%%", *c, std::lround(100 * plan.weakness[*c - 'A']));
    line += buf;
  }
  return line;
}

std::string FormatPractiseNext(const WeakKeyPlan& plan, int languageFlag) {
  const bool english = languageFlag == 1;
  if (plan.level == 0) {
    return english ? "Practise next: any course; Weak Keys follows what you type"
                   : sjis::PractiseAnyJa;
  }
  std::string keys;
  for (const char* c = plan.focus; *c; ++c) keys += std::string(keys.empty() ? "" : " ") + *c;
  char buf[160];
  if (keys.empty()) {
    std::snprintf(buf, sizeof buf,
                  english
                      ? "Practise next: no weak key at %s; Weak Keys (%d, then 8) keeps all fresh"
                      : sjis::PractiseNoFocusJa,
                  ProgressLevelNames[plan.level], plan.level);
  } else {
    std::snprintf(
        buf, sizeof buf,
        english ? "Practise next: %s with Weak Keys at %s (%d, then 8)" : sjis::PractiseNextJa,
        keys.c_str(), ProgressLevelNames[plan.level], plan.level);
  }
  return buf;
}
