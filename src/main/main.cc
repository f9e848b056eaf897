#include "main/platform.h"
#include "main/run.h"

int main(int argc, char** argv) {
  RealPlatform platform;
  return run(argc, argv, platform);
}
