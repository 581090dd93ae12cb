// SPDX-License-Identifier: MIT
// Plans loaded for the comparison tests, and second versions of them made by known edits.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "compare/plan_changes.h"
#include "tests/fixtures/plan_edits.h"
#include "tests/fixtures/plan_xml_writer.h"
#include "model/load_plan.h"
#include "support/golden.h"

namespace nerin::test {

inline const std::string DEMO_PLAN_PATH = NERIN_SOURCE_DIR "/samples/demo-plan.xml";

inline std::string CompareData(const std::string& name) {
  return std::string(NERIN_COMPARE_DATA_DIR) + "/" + name;
}

// Plans hold their records at full capacity: on the heap, never on a test's stack.
inline std::unique_ptr<Plan> LoadedPlan(const std::string& text, const std::string& name = "plan.xml") {
  auto plan = std::make_unique<Plan>();
  MessageLog log;
  EXPECT_TRUE(LoadPlan(*plan, log, name, text)) << name << "\n" << MessageListText(log);
  return plan;
}

// The plan after the writer and the loader: what an edited version is compared against.
inline std::unique_ptr<Plan> Reloaded(const Plan& plan) {
  return LoadedPlan(PlanXmlText(plan), "edited.xml");
}

// What the comparison reported, in the form the generator predicts.
inline ExpectedChanges Reported(const PlanChanges& changes) {
  ExpectedChanges reported;
  for (const TaskChange& change : changes.Tasks) {
    ExpectedTaskChange& entry = reported[change.UID];
    entry.Kind = change.Kind;
    for (const FieldChange& field : change.Fields) entry.Fields.push_back(field.Field);
  }
  return reported;
}

inline std::string Describe(const ExpectedChanges& changes) {
  std::string text;
  for (const auto& [uid, change] : changes) {
    text += "UID " + std::to_string(uid) + " kind " + std::to_string(static_cast<int>(change.Kind)) + ":";
    for (const TaskField field : change.Fields) text += " " + std::string(TaskFieldKey(field));
    text += "\n";
  }
  return text;
}

}  // namespace nerin::test
