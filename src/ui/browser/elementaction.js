// Acts on the element at one index of document.getElementsByTagName('*') (an
// index from an earlier snapshot), after checking that the element there still
// has the expected tag: the page may have changed since it was read. The
// program appends the call's argument, an object
//   { index: number, tag: "A", action: "click" | "setValue", value: "..." },
// and gets true when the action happened.
(function (request) {
    'use strict';
    const element = document.getElementsByTagName('*')[request.index];
    if (element === undefined || element.tagName.toUpperCase() !== String(request.tag).toUpperCase())
        return false;
    switch (request.action) {
    case 'click':
        if (element instanceof HTMLElement) {
            HTMLElement.prototype.click.call(element);
        } else {
            element.dispatchEvent(new MouseEvent('click', { bubbles: true, cancelable: true, view: window }));
        }
        return true;
    case 'setValue':
        if (!('value' in element))
            return false;
        element.value = String(request.value);
        // Pages that check their fields listen for these, as when a person types.
        element.dispatchEvent(new Event('input', { bubbles: true }));
        element.dispatchEvent(new Event('change', { bubbles: true }));
        return true;
    default:
        return false;
    }
})
