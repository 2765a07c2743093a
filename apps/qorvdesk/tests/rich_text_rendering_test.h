#pragma once
// The rendering test's runner, called by the test program's main after the flow test.

int RunRichTextRenderingTest(int argc, char** argv);
