// The program: its title, its windows created in their order, the message
// loop. The windows live until the loop ends; the main window is shown only
// when it could bind both libraries, otherwise the program ends at once with
// a non-zero exit status.
#pragma once

// Runs the program on the application object that exists; answers the exit
// status.
int RunK740scalib();
