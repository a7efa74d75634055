#pragma once
// The deliverer upgrade: brings a customer with extra hearts.
class CUpgrade;

// The upgrade's "Heart Bonus"; 0 for any other upgrade.
float GetDelivererHeartBonus(CUpgrade* deliverer);
