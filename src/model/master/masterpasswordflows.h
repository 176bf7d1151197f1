#pragma once

class HubroItem;
class QWidget;

// The main window's password flows on the connected master; its slots call
// these with the master item (null: nothing happens).
namespace MasterPasswordFlows {

// Asks for the current and new password and sends the change; an empty new
// password clears the protection.
void changePassword(HubroItem *master, QWidget *parent = nullptr);
// Removes the master's password (hash 0).
void removePassword(HubroItem *master);
// The master refused a new password: offers to try again.
void onChangePasswordFailed(HubroItem *master, QWidget *parent = nullptr);

} // namespace MasterPasswordFlows
