// Goes from the page on view to an address as a reader's click would: the
// page's address goes with the request as its Referer (a load from the
// program sends none). The program appends the call's argument, an object
//   { address: "https://..." },
// and gets true once the navigation is under way.
(function (request) {
    'use strict';
    window.location.assign(String(request.address));
    return true;
})
