// Shopping cart helpers.
var cart = { items: [], add: function (item) { this.items.push(item); },
count: function () { return this.items.length; } };
function clear(c) { while (c.items.length) { c.items.pop(); } }
/* Prices are in cents,
   never floats. */
for (var k in cart) { if (k == "items") continue; }
