// A seam for tests: lets a test change a file between the writer's first look at
// it and its update open, as another program might.
#pragma once

using BetweenOpensHook = void (*)(const char* path);
void SetBetweenOpensHook(BetweenOpensHook hook);
