// What the web GLUT offers the page's hooks beyond GLUT itself.
#pragma once

// Applies the page's start commands (menu item ids) and its hold setting;
// called once, after the first reshape and before the first frame.
void runStartCommands();

// Chooses the item `value` of `menu` or of one of its submenus, as a click in
// the overlay would. False when no item has that id.
bool chooseMenuItem(int menu, int value);

// Draws `count` frames, each after one idle step, waiting for the device
// after each: the median milliseconds of one.
double timeFrames(int count);
