// SPDX-License-Identifier: MIT
#include "app/startup.h"

int main(int argc, char** argv) {
  return nerin::RunViewer(argc, argv);
}
