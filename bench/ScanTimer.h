#pragma once

class Scanner;

// Runs one full scan and waits for it in an event loop; its time in milliseconds.
double timeScan(Scanner &scanner);
